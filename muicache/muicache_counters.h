// What the MUICache source counts: the programs it read, the resource
// strings and bookkeeping it passed over, values in no shape a name has,
// and the keys and classes hives it could not read.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter muiCacheUnreadable{
    .key = "mui_cache_unreadable",
    .failure = true,
    .reportLabel = L"MUICache keys, values or classes hives unreadable",
    .statusFragment = L" %lu MUICache key(s) or classes hive(s) unreadable;",
    .statusPosition = 56,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter muiCacheProgramsRead{
    .key = "mui_cache_programs_read",
    .reportLabel = L"MUICache programs read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter muiCacheOtherNames{
    .key = "mui_cache_other_names",
    .reportLabel = L"MUICache resource strings and language ids (no program; expected)",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter muiCacheWrongShape{
    .key = "mui_cache_wrong_shape",
    .failure = true,
    .reportLabel = L"MUICache values that are no text (not shown)",
    .statusFragment = L" %lu MUICache value(s) that are no text;",
    .statusPosition = 57,
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* muiCacheCounters[] = {
    &muiCacheUnreadable,
    &muiCacheProgramsRead,
    &muiCacheOtherNames,
    &muiCacheWrongShape,
};

} // namespace tidewell
