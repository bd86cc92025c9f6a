// Any bytes through the Xpress Huffman decoder, into outputs of several sizes:
// nothing is read or written outside the buffers (ASan watches), and a
// success always means the whole output was produced.
#include <cstdlib>
#include <vector>

#include "prefetch/xpress_huffman.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // A real container (some seeds are real compressed Prefetch files) gives
    // its declared size and data; anything else takes its output size from
    // its first two bytes, so that streams with and without block boundaries
    // are both reached. Either way the output is at most 256 KiB, which
    // keeps every run quick.
    std::size_t outputSize = (static_cast<std::size_t>(data[0]) << 10) + data[1];
    std::size_t header = 2;
    if (size >= 8 && data[0] == 'M' && data[1] == 'A' && data[2] == 'M') {
        const std::uint32_t declared = static_cast<std::uint32_t>(data[4]) |
                                       (static_cast<std::uint32_t>(data[5]) << 8) |
                                       (static_cast<std::uint32_t>(data[6]) << 16) |
                                       (static_cast<std::uint32_t>(data[7]) << 24);
        outputSize = declared > (1u << 18) ? (1u << 18) : declared;
        header = (data[3] & 0x80) != 0 ? 12 : 8;
        if (size < header) {
            return 0;
        }
    }
    std::vector<std::uint8_t> output(outputSize);
    std::size_t finalSize = 0;
    const bool ok = tidewell::decompressXpressHuffman(data + header, size - header, output.data(),
                                                      output.size(), finalSize);
    if (finalSize > outputSize || (ok && finalSize != outputSize)) {
        std::abort();
    }
    return 0;
}
