// Where each Prefetch format version keeps its run times and run count, and
// how large an image of that version must at least be.
#pragma once

#include <cstdint>

namespace tidewell {

struct PrefetchLayout {
    std::uint32_t version;
    std::uint32_t runTimeSlots;
    std::uint32_t runTimeOffset;
    std::uint32_t runCountOffset;
    std::uint32_t alternateRunCountOffset; // 0: none
    std::uint32_t minimumImageSize;
    std::uint32_t volumeEntrySize;
};

// The layout of a version, or null for a version this program does not read.
const PrefetchLayout* findPrefetchLayout(std::uint32_t version);

} // namespace tidewell
