// What the compatibility cache source counts: whether its value could be
// read and in which layout, every entry read or malformed, and whether the
// walk reached the end. Listed after the report's line that says whether
// the machine keeps the cache.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter compatCacheUnreadable{
    .key = "compat_cache_unreadable",
    .failure = true,
    .reportLabel = L"AppCompatCache value unreadable",
    .statusFragment = L" the AppCompatCache value could not be read;",
    .statusPosition = 25,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter compatCacheEarlierLayout{
    .key = "compat_cache_earlier_layout",
    .failure = true,
    .reportLabel = L"AppCompatCache in a layout before Windows 7 - not read",
    .statusFragment = L" the AppCompatCache is in a layout before Windows 7 (not read);",
    .statusPosition = 26,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter compatCacheUnknownLayout{
    .key = "compat_cache_unknown_layout",
    .failure = true,
    .reportLabel = L"AppCompatCache in an unknown layout - not read",
    .statusFragment = L" the AppCompatCache is in an unknown layout;",
    .statusPosition = 27,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter compatCacheEntriesRead{
    .key = "compat_cache_entries_read",
    .reportLabel = L"AppCompatCache entries read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter compatCacheEntriesMalformed{
    .key = "compat_cache_entries_malformed",
    .failure = true,
    .reportLabel = L"AppCompatCache entries malformed",
    .statusFragment = L" %lu AppCompatCache entr(ies) malformed;",
    .statusPosition = 28,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter compatCacheWalkStopped{
    .key = "compat_cache_walk_stopped",
    .failure = true,
    .reportLabel = L"AppCompatCache entries past a damaged one not read",
    .statusFragment = L" the AppCompatCache could not be read to its end;",
    .statusPosition = 29,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter compatCacheCountDisagrees{
    .key = "compat_cache_count_disagrees",
    .reportLabel =
        L"AppCompatCache header count differs from its entries (normal since Windows 10 1703)",
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* compatCacheCounters[] = {
    &compatCacheUnreadable,     &compatCacheEarlierLayout,    &compatCacheUnknownLayout,
    &compatCacheEntriesRead,    &compatCacheEntriesMalformed, &compatCacheWalkStopped,
    &compatCacheCountDisagrees,
};

} // namespace tidewell
