// A whole hive held in memory, after any recovery from its logs: the bytes
// of its base block and bins, and what is needed to find cells in them.
// Nothing here is ever written back anywhere.
#pragma once

#include <cstdint>
#include <vector>

namespace tidewell {

struct HiveImage {
    std::vector<std::uint8_t> bytes; // the base block, then the bins
    std::uint32_t rootCell = 0;      // offsets of cells are relative to the bins
    std::uint32_t binsSize = 0;
    std::uint32_t minorVersion = 0;
    std::vector<std::uint32_t> binStarts; // where each bin begins, in order
};

} // namespace tidewell
