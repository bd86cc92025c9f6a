#include "compressed_streams.h"

#include <algorithm>

#include "prefetch/sample/xpress_huffman_encoder.h"
#include "prefetch/tests/xpress_test_data.h"
#include "support/corpus_files.h"

namespace tidewell::bench {

std::vector<CompressedStream> containerStreams(const std::vector<std::filesystem::path>& files) {
    std::vector<CompressedStream> streams;
    for (const auto& file : files.empty() ? testing::corpusFiles("prefetch") : files) {
        const std::vector<std::uint8_t> bytes = testing::readWholeFile(file);
        if (bytes.size() < 8 || bytes[0] != 'M' || bytes[1] != 'A' || bytes[2] != 'M') {
            continue;
        }
        const std::size_t header = (bytes[3] & 0x80) != 0 ? 12 : 8;
        if (bytes.size() < header) {
            continue;
        }
        CompressedStream stream;
        stream.outputSize = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) |
                            (static_cast<std::size_t>(bytes[7]) << 24);
        stream.compressed.assign(bytes.begin() + static_cast<long>(header), bytes.end());
        streams.push_back(std::move(stream));
    }
    return streams;
}

CompressedStream prefetchLikeStream(std::size_t size) {
    const std::vector<std::uint8_t> data = testing::prefetchLikeBytes(size, 17);
    return {sample::compressXpressHuffman(data.data(), data.size()), size};
}

std::vector<std::uint8_t> outputFor(const std::vector<CompressedStream>& streams) {
    std::size_t largest = 0;
    for (const CompressedStream& stream : streams) {
        largest = std::max(largest, stream.outputSize);
    }
    return std::vector<std::uint8_t>(largest);
}

} // namespace tidewell::bench
