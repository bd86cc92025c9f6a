// The Xpress LZ77+Huffman format (compression format 4 of the Windows
// compression interface), decoded by the program itself where the system's
// decompressor is missing (Windows 7, Wine, and every non-Windows build).
// The input is hostile: every read and copy is checked, and a stream that
// does not produce exactly the expected bytes is refused.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tidewell {

// Decodes a whole stream into output, which must be exactly outputSize bytes
// long (the size the container declares). Returns true only when all of
// output was produced; finalSize tells how many bytes were (outputSize on
// success).
bool decompressXpressHuffman(const std::uint8_t* input, std::size_t inputSize, std::uint8_t* output,
                             std::size_t outputSize, std::size_t& finalSize);

} // namespace tidewell
