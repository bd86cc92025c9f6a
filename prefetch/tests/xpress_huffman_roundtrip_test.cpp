// Whatever the encoder writes, the decoder gives back byte for byte: sizes
// from nothing to several blocks, data that compresses well and data that
// does not.
#include <gtest/gtest.h>

#include "prefetch/sample/xpress_huffman_encoder.h"
#include "prefetch/tests/xpress_test_data.h"

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

TEST(XpressRoundTrip, LongMatchesRightAtTheEndOfTheInput) {
    // Long matches carry raw length bytes between the bit stream's words;
    // streams of nothing else end in them, where the fast decoder hands over
    // to the careful one, whole or cut short. The streams lie in buffers of
    // their exact size, where AddressSanitizer would see a read past the end.
    for (std::uint32_t matches = 1; matches < 160; ++matches) {
        std::vector<XpressToken> tokens = {{false, 'a', 0, 0}};
        std::vector<std::uint8_t> data = {'a'};
        for (std::uint32_t i = 0; i < matches; ++i) {
            const std::uint32_t length = 18 + (i * 37 + matches) % 300; // one raw byte or three
            tokens.push_back({true, 0, length, 1});
            data.insert(data.end(), length, 'a');
        }
        const std::vector<std::uint8_t> stream =
            encodeXpressBlocks(blocksFromTokens(tokens, matches % 2 == 0));
        const std::vector<std::uint8_t> exact(stream.begin(), stream.end());
        const auto decoded = decodeXpress(exact, data.size());
        ASSERT_TRUE(decoded.has_value()) << matches << " matches";
        EXPECT_TRUE(*decoded == data) << matches << " matches";
        // Cut anywhere in its last bytes, the stream may end among raw bytes.
        for (std::size_t cut = 1; cut < 48 && cut < stream.size(); ++cut) {
            const std::vector<std::uint8_t> cutShort(stream.begin(),
                                                     stream.end() - static_cast<long>(cut));
            const auto partial = decodeXpress(cutShort, data.size());
            EXPECT_TRUE(!partial.has_value() || *partial == data) << matches << " cut " << cut;
        }
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
