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

#include "compressed_streams.h"
#include "prefetch/xpress_huffman.h"

namespace {

using tidewell::bench::CompressedStream;
using tidewell::bench::outputFor;
using Stream = CompressedStream;

const std::vector<Stream>& inputs(int which) {
    static const std::vector<Stream> corpus = tidewell::bench::containerStreams();
    static const std::vector<Stream> small = {tidewell::bench::prefetchLikeStream(100 * 1000)};
    static const std::vector<Stream> large = {tidewell::bench::prefetchLikeStream(1000 * 1000)};
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
