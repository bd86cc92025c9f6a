// Sums over the tally that tests compare against expectations.
#pragma once

#include <cstdint>

#include "core/scan_tally.h"

namespace tidewell::testing {

// Every counter added up: a rejected image must raise exactly one.
inline std::uint64_t sumOfAllCounters(const ScanTally& tally) {
    std::uint64_t sum = 0;
    for (const ScanTally::Count& held : tally.counts) {
        sum += held.count;
    }
    return sum;
}

} // namespace tidewell::testing
