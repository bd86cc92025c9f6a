// Facts about the machine and about the reach of one scan, stated beside the
// records so that their completeness can be judged.
#pragma once

#include <cstdint>

namespace tidewell {

struct ScanFacts {
    std::uint8_t elevated = 0;
    std::uint8_t enablePrefetcherPresent = 0;
    std::uint32_t enablePrefetcherValue = 0;
    std::uint8_t prefetchEnabled = 0;
    std::uint8_t prefetchDirReadable = 0;
    std::uint32_t prefetchRetentionLimit = 0;
    std::uint8_t profileCoverageKnown = 0;
    std::uint32_t profilesOnMachine = 0;
    std::uint32_t profilesExamined = 0;
    std::uint32_t profilesNotExamined = 0;
    std::uint64_t spanOldest = 0; // FILETIME
    std::uint64_t spanNewest = 0; // FILETIME
    std::uint8_t spanKnown = 0;
};

} // namespace tidewell
