// The Xpress Huffman decoder's work per output byte, for callgrind to count:
// decodes one input set a number of times and prints how many bytes it
// produced. scripts/decoder-instructions runs it under callgrind with only
// the decoder counted and divides. Arguments: the input, "prefetch-like" (a
// 300 KB stream of Prefetch-like data made by the test encoder) or "files"
// (compressed Prefetch files: those named after the rounds, or every one of
// the corpus), and the number of rounds. "versions" instead prints each
// compressed corpus file's Prefetch format version and path, a line each
// (30: Windows 10, 31: Windows 11), for the script to group them by; it is
// run without callgrind.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "compressed_streams.h"
#include "prefetch/xpress_huffman.h"
#include "support/corpus_files.h"

namespace {

int printVersions() {
    for (const auto& file : tidewell::testing::corpusFiles("prefetch")) {
        const std::vector<tidewell::bench::CompressedStream> stream =
            tidewell::bench::containerStreams({file});
        if (stream.empty() || stream[0].outputSize < 4) {
            continue;
        }
        std::vector<std::uint8_t> output(stream[0].outputSize);
        std::size_t finalSize = 0;
        if (!tidewell::decompressXpressHuffman(stream[0].compressed.data(),
                                               stream[0].compressed.size(), output.data(),
                                               output.size(), finalSize)) {
            continue;
        }
        const unsigned version = output[0] | (output[1] << 8) | (output[2] << 16) |
                                 (static_cast<unsigned>(output[3]) << 24);
        std::printf("%u %s\n", version, file.string().c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string which = argc > 1 ? argv[1] : "prefetch-like";
    if (which == "versions") {
        return printVersions();
    }
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
