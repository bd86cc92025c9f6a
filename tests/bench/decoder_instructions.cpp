// The Xpress Huffman decoder's work per output byte, for callgrind to count:
// decodes one input set a number of times and prints how many bytes it
// produced. scripts/decoder-instructions runs it under callgrind with only
// the decoder counted and divides. Arguments: the input, "prefetch-like" (a
// 300 KB stream of Prefetch-like data made by the test encoder) or "files"
// (compressed Prefetch files: those named after the rounds, or every one of
// the corpus), and the number of rounds.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "prefetch/xpress_huffman.h"
#include "support/corpus_files.h"
#include "support/xpress_test_data.h"
#include "tools/sample/xpress_huffman_encoder.h"

namespace {

struct Stream {
    std::vector<std::uint8_t> compressed;
    std::size_t outputSize = 0;
};

// The files named, or with none every compressed Prefetch file of the corpus.
std::vector<Stream> containerStreams(const std::vector<std::filesystem::path>& named) {
    std::vector<Stream> streams;
    for (const auto& file : named.empty() ? tidewell::testing::corpusFiles("prefetch") : named) {
        const std::vector<std::uint8_t> bytes = tidewell::testing::readWholeFile(file);
        if (bytes.size() < 8 || std::memcmp(bytes.data(), "MAM", 3) != 0) {
            continue;
        }
        const std::size_t header = (bytes[3] & 0x80) != 0 ? 12 : 8;
        Stream stream;
        stream.outputSize = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) |
                            (static_cast<std::size_t>(bytes[7]) << 24);
        stream.compressed.assign(bytes.begin() + static_cast<long>(header), bytes.end());
        streams.push_back(std::move(stream));
    }
    return streams;
}

std::vector<Stream> prefetchLikeStream() {
    const std::size_t size = 300 * 1000;
    const std::vector<std::uint8_t> data = tidewell::testing::prefetchLikeBytes(size, 17);
    return {{tidewell::sample::compressXpressHuffman(data.data(), data.size()), size}};
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string which = argc > 1 ? argv[1] : "prefetch-like";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 10;
    std::vector<std::filesystem::path> named;
    for (int i = 3; i < argc; ++i) {
        named.emplace_back(argv[i]);
    }
    const std::vector<Stream> streams =
        which == "prefetch-like" ? prefetchLikeStream() : containerStreams(named);
    if (streams.empty()) {
        std::fprintf(stderr, "no input: the corpus is absent\n");
        return 1;
    }
    std::size_t largest = 0;
    for (const Stream& stream : streams) {
        largest = std::max(largest, stream.outputSize);
    }
    std::vector<std::uint8_t> output(largest);
    unsigned long long produced = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const Stream& stream : streams) {
            std::size_t finalSize = 0;
            if (!tidewell::decompressXpressHuffman(stream.compressed.data(),
                                                   stream.compressed.size(), output.data(),
                                                   stream.outputSize, finalSize)) {
                std::fprintf(stderr, "a stream did not decode\n");
                return 1;
            }
            produced += finalSize;
        }
    }
    std::printf("%llu\n", produced);
    return 0;
}
