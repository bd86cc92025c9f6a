// Sums over the tally that tests compare against expectations.
#pragma once

#include <cstdint>

#include "core/scan_tally.h"

namespace tidewell::testing {

// Every counter added up: a rejected image must raise exactly one.
inline std::uint64_t sumOfAllCounters(const ScanTally& tally) {
    const std::uint32_t* first = &tally.prefetchDirUnreadable;
    std::uint64_t sum = 0;
    static_assert(sizeof(ScanTally) == 29 * sizeof(std::uint32_t),
                  "the tally is twenty-nine 32-bit counters");
    for (int i = 0; i < 29; ++i) {
        sum += first[i];
    }
    return sum;
}

} // namespace tidewell::testing
