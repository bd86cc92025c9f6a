// Whatever the encoder writes, the decoder gives back byte for byte: sizes
// from nothing to several blocks, data that compresses well and data that
// does not.
#include <gtest/gtest.h>

#include "support/xpress_test_data.h"
#include "tools/sample/xpress_huffman_encoder.h"

namespace tidewell {
namespace {

using namespace testing;
using namespace sample;

void expectRoundTrip(const std::vector<std::uint8_t>& data, const XpressOptions& options = {}) {
    const std::vector<std::uint8_t> stream =
        compressXpressHuffman(data.data(), data.size(), options);
    const auto decoded = decodeXpress(stream, data.size());
    ASSERT_TRUE(decoded.has_value()) << "size " << data.size();
    EXPECT_TRUE(*decoded == data) << "size " << data.size();
}

const std::size_t sizes[] = {0,     1,     2,     3,      4,      255,    4096,
                             65535, 65536, 65537, 131071, 131072, 131073, 196608 + 5};

TEST(XpressRoundTrip, RandomData) {
    for (std::size_t size : sizes) {
        expectRoundTrip(randomBytes(size, static_cast<std::uint32_t>(size + 1)));
    }
}

TEST(XpressRoundTrip, RepetitiveAndAllZeroData) {
    for (std::size_t size : sizes) {
        expectRoundTrip(repetitiveBytes(size));
        expectRoundTrip(std::vector<std::uint8_t>(size, 0));
    }
}

TEST(XpressRoundTrip, PrefetchLikeData) {
    for (std::size_t size : sizes) {
        expectRoundTrip(prefetchLikeBytes(size, 3));
    }
}

TEST(XpressRoundTrip, SeveralMebibytes) {
    expectRoundTrip(prefetchLikeBytes(3 * 1024 * 1024 + 17, 11));
    expectRoundTrip(randomBytes(2 * 1024 * 1024, 5));
}

TEST(XpressRoundTrip, WithoutEndSymbolAndWithMatchesAcrossBlocks) {
    XpressOptions noEnd;
    noEnd.endSymbol = false;
    XpressOptions crossing;
    crossing.matchesCrossBlocks = true;
    for (std::size_t size :
         {std::size_t{1}, std::size_t{65536}, std::size_t{65537}, std::size_t{300000}}) {
        expectRoundTrip(prefetchLikeBytes(size, 2), noEnd);
        expectRoundTrip(prefetchLikeBytes(size, 2), crossing);
        expectRoundTrip(std::vector<std::uint8_t>(size, 0x41), crossing);
    }
}

TEST(XpressRoundTrip, AnyTruncationIsRefusedWithoutReadingPastTheInput) {
    const std::vector<std::uint8_t> data = prefetchLikeBytes(70000, 9);
    const std::vector<std::uint8_t> stream = compressXpressHuffman(data.data(), data.size());
    // The last few bytes may be padding the decoder never needs; everything
    // shorter than the data proper must be refused.
    for (std::size_t cut = 0; cut + 8 < stream.size(); cut += 97) {
        std::vector<std::uint8_t> truncated(stream.begin(),
                                            stream.begin() + static_cast<long>(cut));
        EXPECT_FALSE(decodeXpress(truncated, data.size()).has_value()) << "cut at " << cut;
    }
}

} // namespace
} // namespace tidewell
