// The compressed streams the decoder benchmarks decode: those inside the
// corpus's compressed Prefetch files, or streams the test encoder makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace tidewell::bench {

struct CompressedStream {
    std::vector<std::uint8_t> compressed; // the stream alone, without its container
    std::size_t outputSize = 0;
};

// The streams of the files named, or with none of every compressed Prefetch
// file of the corpus; files that are not containers are left out.
std::vector<CompressedStream>
containerStreams(const std::vector<std::filesystem::path>& files = {});

// Prefetch-like data of the size given, compressed by the test encoder.
CompressedStream prefetchLikeStream(std::size_t size);

// One output buffer large enough for every stream, so that only decoding is
// measured (growing a vector would zero-fill it on every call).
std::vector<std::uint8_t> outputFor(const std::vector<CompressedStream>& streams);

} // namespace tidewell::bench
