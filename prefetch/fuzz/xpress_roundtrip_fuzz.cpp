// Random data through the test encoder and back through the decoder: the
// output must equal the input, byte for byte.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "prefetch/sample/xpress_huffman_encoder.h"
#include "prefetch/xpress_huffman.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the encoder's options; the rest is the data. One
    // input in sixty-four is repeated to just past a block's 65,536 bytes, so
    // that block boundaries are crossed while the round trip stays quick.
    tidewell::sample::XpressOptions options;
    options.endSymbol = (data[0] & 1) != 0;
    options.matchesCrossBlocks = (data[0] & 2) != 0;
    std::vector<std::uint8_t> input(data + 1, data + size);
    if ((data[0] & 0xFC) == 0xFC && !input.empty()) {
        while (input.size() < 65536 + 512) {
            input.insert(input.end(), data + 1, data + size);
        }
    }
    const std::vector<std::uint8_t> stream =
        tidewell::sample::compressXpressHuffman(input.data(), input.size(), options);
    std::vector<std::uint8_t> output(input.size());
    std::size_t finalSize = 0;
    if (!tidewell::decompressXpressHuffman(stream.data(), stream.size(), output.data(),
                                           output.size(), finalSize) ||
        finalSize != input.size() || output != input) {
        std::abort();
    }
    return 0;
}
