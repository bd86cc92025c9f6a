// What the SRUM source counts: whether its database could be read (or was
// held open by the running Windows), whether it was shut down cleanly,
// every row read, and every row, id or time that could not be. Listed after
// the report's line that says whether the machine keeps SRUM.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter srumUnreadable{
    .key = "srum_unreadable",
    .failure = true,
    .reportLabel = L"SRUM database unreadable or malformed",
    .statusFragment = L" the SRUM database could not be read;",
    .statusPosition = 39,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter srumHeldOpen{
    .key = "srum_held_open",
    .reportLabel = L"SRUM database held open by the running Windows - not read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter srumDirty{
    .key = "srum_dirty",
    .failure = true,
    .reportLabel = L"SRUM database not shut down cleanly - rows still in its transaction logs "
                   L"are not shown",
    .statusFragment = L" the SRUM database is dirty (rows in its logs not shown);",
    .statusPosition = 40,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter srumHeaderSummedWhole{
    .key = "srum_header_summed_over_page",
    .reportLabel = L"SRUM database header summed over its whole page (as Windows 11 does) - "
                   L"accepted",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter srumUsageRowsRead{
    .key = "srum_usage_rows_read",
    .reportLabel = L"SRUM application usage rows read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter srumNetworkRowsRead{
    .key = "srum_network_rows_read",
    .reportLabel = L"SRUM network usage rows read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter srumRowsUnreadable{
    .key = "srum_rows_unreadable",
    .failure = true,
    .reportLabel = L"SRUM rows or tables unreadable",
    .statusFragment = L" %lu SRUM row(s) or table(s) unreadable;",
    .statusPosition = 41,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter srumIdsNotMapped{
    .key = "srum_ids_not_mapped",
    .failure = true,
    .reportLabel = L"SRUM rows whose program or user is missing from the id map",
    .statusFragment = L" %lu SRUM row(s) name an id the id map lacks;",
    .statusPosition = 42,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter srumTimesMalformed{
    .key = "srum_times_malformed",
    .failure = true,
    .reportLabel = L"SRUM rows whose time is not a date - hour withheld",
    .statusFragment = L" %lu SRUM time(s) malformed;",
    .statusPosition = 43,
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* srumCounters[] = {
    &srumUnreadable,        &srumHeldOpen,      &srumDirty,
    &srumHeaderSummedWhole, &srumUsageRowsRead, &srumNetworkRowsRead,
    &srumRowsUnreadable,    &srumIdsNotMapped,  &srumTimesMalformed,
};

} // namespace tidewell
