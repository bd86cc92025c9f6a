// What the BAM/DAM source counts: one outcome for every value of a user's
// key (bookkeeping skipped, in an unknown shape, or parsed), the values
// without a usable time, and the keys it could not read. Listed after the
// report's line that says whether the machine keeps the moderators.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter bamKeysUnreadable{
    .key = "bam_keys_unreadable",
    .failure = true,
    .reportLabel = L"BAM/DAM keys unreadable",
    .statusFragment = L" %lu BAM/DAM key(s) unreadable;",
    .statusPosition = 22,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter bamSeen{
    .key = "bam_seen",
    .reportLabel = L"BAM/DAM values seen",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter bamParsed{
    .key = "bam_parsed",
    .reportLabel = L"BAM/DAM parsed",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter bamBookkeepingSkipped{
    .key = "bam_bookkeeping_skipped",
    .reportLabel = L"BAM/DAM bookkeeping skipped (expected)",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter bamUnknownShape{
    .key = "bam_unknown_shape",
    .failure = true,
    .reportLabel = L"BAM/DAM values in an unknown shape (not binary, or shorter than a time)",
    .statusFragment = L" %lu BAM/DAM value(s) in an unknown shape;",
    .statusPosition = 23,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter bamNoTime{
    .key = "bam_no_time",
    .reportLabel = L"BAM/DAM values without a time",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter bamImpossibleDate{
    .key = "bam_impossible_date",
    .failure = true,
    .reportLabel = L"BAM/DAM time not a possible date",
    .statusFragment = L" %lu BAM/DAM time(s) not a possible date;",
    .statusPosition = 24,
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* bamCounters[] = {
    &bamKeysUnreadable, &bamSeen,   &bamParsed,         &bamBookkeepingSkipped,
    &bamUnknownShape,   &bamNoTime, &bamImpossibleDate,
};

} // namespace tidewell
