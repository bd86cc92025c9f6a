// What the RunMRU source counts: the commands it read, values in no shape
// a command has, keys without their order, and keys it could not read.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter runMruKeysUnreadable{
    .key = "run_mru_keys_unreadable",
    .failure = true,
    .reportLabel = L"RunMRU keys or values unreadable",
    .statusFragment = L" %lu RunMRU key(s) or value(s) unreadable;",
    .statusPosition = 53,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter runMruCommandsRead{
    .key = "run_mru_commands_read",
    .reportLabel = L"RunMRU commands read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter runMruWrongShape{
    .key = "run_mru_wrong_shape",
    .failure = true,
    .reportLabel = L"RunMRU values that are no command (not shown)",
    .statusFragment = L" %lu RunMRU value(s) that are no command;",
    .statusPosition = 54,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter runMruOutOfOrder{
    .key = "run_mru_out_of_order",
    .reportLabel = L"RunMRU commands the key's MRUList does not place (shown without a position)",
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* runMruCounters[] = {
    &runMruKeysUnreadable,
    &runMruCommandsRead,
    &runMruWrongShape,
    &runMruOutOfOrder,
};

} // namespace tidewell
