// The compressed Prefetch container: "MAM", a format byte, the unpacked size
// (and, with bit 7 of the format byte, a checksum that is skipped), then
// Xpress LZ77+Huffman data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tidewell {

inline constexpr std::uint32_t maxPrefetchImageSize = 64u * 1024 * 1024;

// Unpacks a whole container into image. True only when image holds exactly
// the declared number of bytes; on false image is empty. The system's
// decompressor is used where it exists, the program's own decoder otherwise.
bool decompressMam(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& image);

} // namespace tidewell
