// What the Compatibility Assistant store source counts: the programs it
// read and the keys or values it could not read.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter compatibilityStoreUnreadable{
    .key = "compatibility_store_unreadable",
    .failure = true,
    .reportLabel = L"Compatibility Assistant store keys or values unreadable",
    .statusFragment = L" %lu Compatibility Assistant store key(s) or value(s) unreadable;",
    .statusPosition = 55,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter compatibilityStoreRead{
    .key = "compatibility_store_read",
    .reportLabel = L"Compatibility Assistant store programs read",
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* compatibilityStoreCounters[] = {
    &compatibilityStoreUnreadable,
    &compatibilityStoreRead,
};

} // namespace tidewell
