// Output throughput of our Xpress Huffman decoder beside Debian's libfwnt
// decoder (a benchmark-only reference; the program never links it), on the
// corpus's compressed Prefetch files and on Prefetch-like data of 100 KB and
// 1 MB made by the test encoder.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <libfwnt.h>

#include "prefetch/xpress_huffman.h"
#include "support/corpus_files.h"
#include "support/xpress_test_data.h"
#include "tools/sample/xpress_huffman_encoder.h"

namespace {

struct Stream {
    std::vector<std::uint8_t> compressed;
    std::size_t outputSize = 0;
};

std::vector<Stream> corpusStreams() {
    std::vector<Stream> streams;
    for (const auto& file : tidewell::testing::corpusFiles("prefetch")) {
        std::vector<std::uint8_t> bytes = tidewell::testing::readWholeFile(file);
        if (bytes.size() < 8 || bytes[0] != 'M' || bytes[1] != 'A' || bytes[2] != 'M') {
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

// One output buffer large enough for every stream, so that only decoding is
// measured (growing a vector would zero-fill it on every call).
std::vector<std::uint8_t> outputFor(const std::vector<Stream>& streams) {
    std::size_t largest = 0;
    for (const Stream& stream : streams) {
        largest = std::max(largest, stream.outputSize);
    }
    return std::vector<std::uint8_t>(largest);
}

std::vector<Stream> syntheticStream(std::size_t size) {
    const std::vector<std::uint8_t> data = tidewell::testing::prefetchLikeBytes(size, 17);
    return {{tidewell::sample::compressXpressHuffman(data.data(), data.size()), size}};
}

const std::vector<Stream>& inputs(int which) {
    static const std::vector<Stream> corpus = corpusStreams();
    static const std::vector<Stream> small = syntheticStream(100 * 1000);
    static const std::vector<Stream> large = syntheticStream(1000 * 1000);
    return which == 0 ? corpus : which == 1 ? small : large;
}

const char* inputName(int which) {
    return which == 0 ? "corpus" : which == 1 ? "prefetchLike100KB" : "prefetchLike1MB";
}

void decodeOurs(benchmark::State& state) {
    const std::vector<Stream>& streams = inputs(static_cast<int>(state.range(0)));
    if (streams.empty()) {
        state.SkipWithError("corpus absent");
        return;
    }
    std::vector<std::uint8_t> output = outputFor(streams);
    std::size_t produced = 0;
    for (auto _ : state) {
        for (const Stream& stream : streams) {
            std::size_t finalSize = 0;
            if (!tidewell::decompressXpressHuffman(stream.compressed.data(),
                                                   stream.compressed.size(), output.data(),
                                                   stream.outputSize, finalSize)) {
                state.SkipWithError("decoder refused a stream");
                return;
            }
            produced += finalSize;
            benchmark::DoNotOptimize(output.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(produced));
    state.SetLabel(inputName(static_cast<int>(state.range(0))));
}

void decodeLibfwnt(benchmark::State& state) {
    const std::vector<Stream>& streams = inputs(static_cast<int>(state.range(0)));
    if (streams.empty()) {
        state.SkipWithError("corpus absent");
        return;
    }
    std::vector<std::uint8_t> output = outputFor(streams);
    std::size_t produced = 0;
    for (auto _ : state) {
        for (const Stream& stream : streams) {
            std::size_t size = stream.outputSize;
            libfwnt_error_t* error = nullptr;
            if (libfwnt_lzxpress_huffman_decompress(stream.compressed.data(),
                                                    stream.compressed.size(), output.data(), &size,
                                                    &error) != 1) {
                libfwnt_error_free(&error);
                state.SkipWithError("libfwnt refused a stream");
                return;
            }
            produced += size;
            benchmark::DoNotOptimize(output.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(produced));
    state.SetLabel(inputName(static_cast<int>(state.range(0))));
}

BENCHMARK(decodeOurs)->DenseRange(0, 2);
BENCHMARK(decodeLibfwnt)->DenseRange(0, 2);

} // namespace

BENCHMARK_MAIN();
