// The operating system's own decompressor for the Xpress Huffman format in
// which Windows packs the files it compresses itself (ntdll's compression
// service on Windows 8 and later).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tidewell {

enum class SystemDecompression {
    Unavailable, // the system has no such service: the caller decodes itself
    Failed,      // the service refused the data
    Succeeded,   // output holds finalSize bytes
};

// Decompresses Xpress LZ77+Huffman data into output (exactly outputSize bytes).
SystemDecompression systemDecompressXpressHuffman(const std::uint8_t* compressed,
                                                  std::size_t compressedSize, std::uint8_t* output,
                                                  std::size_t outputSize, std::size_t& finalSize);

} // namespace tidewell
