// The Xpress Huffman decoder's work per output byte, for callgrind to count:
// decodes one input set a number of times and prints how many bytes it
// produced. scripts/decoder-instructions runs it under callgrind with only
// the decoder counted and divides. Arguments: the input, "prefetch-like" (a
// 300 KB stream of Prefetch-like data made by the test encoder) or "files"
// (compressed Prefetch files: those named after the rounds, or every one of
// the corpus), and the number of rounds.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "compressed_streams.h"
#include "prefetch/xpress_huffman.h"

int main(int argc, char* argv[]) {
    const std::string which = argc > 1 ? argv[1] : "prefetch-like";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 10;
    std::vector<std::filesystem::path> named;
    for (int i = 3; i < argc; ++i) {
        named.emplace_back(argv[i]);
    }
    using tidewell::bench::CompressedStream;
    const std::vector<CompressedStream> streams =
        which == "prefetch-like"
            ? std::vector<CompressedStream>{tidewell::bench::prefetchLikeStream(300 * 1000)}
            : tidewell::bench::containerStreams(named);
    if (streams.empty()) {
        std::fprintf(stderr, "no input: the corpus is absent\n");
        return 1;
    }
    std::vector<std::uint8_t> output = tidewell::bench::outputFor(streams);
    unsigned long long produced = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const CompressedStream& stream : streams) {
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
