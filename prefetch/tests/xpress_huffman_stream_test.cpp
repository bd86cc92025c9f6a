// Streams built token by token, for the parts of the format a plain round
// trip might not reach, and streams that must be refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>
#include <string>

#include "prefetch/sample/xpress_huffman_encoder.h"
#include "prefetch/tests/xpress_test_data.h"

namespace tidewell {
namespace {

using namespace testing;
using namespace sample;

XpressToken literal(std::uint8_t value) {
    return {false, value, 0, 0};
}
XpressToken match(std::uint32_t length, std::uint32_t offset) {
    return {true, 0, length, offset};
}

std::vector<std::uint8_t> expand(const std::vector<XpressToken>& tokens,
                                 std::vector<std::uint8_t> out = {}) {
    for (const XpressToken& token : tokens) {
        if (!token.isMatch) {
            out.push_back(token.literal);
        } else {
            const std::size_t from = out.size() - token.offset;
            for (std::uint32_t i = 0; i < token.length; ++i) {
                out.push_back(out[from + i]);
            }
        }
    }
    return out;
}

TEST(XpressStream, EveryMatchLengthForm) {
    // In the symbol (3 to 17), one extra byte (18 to 272), a 16-bit value
    // (273 to 65,538) and a 32-bit value (above 65,538, seen in real files).
    for (std::uint32_t length :
         {3u, 17u, 18u, 19u, 271u, 272u, 273u, 274u, 65537u, 65538u, 65539u, 70000u, 200000u}) {
        const std::vector<XpressToken> tokens = {literal('a'), literal('b'), match(length, 2),
                                                 literal('z')};
        const std::vector<std::uint8_t> expected = expand(tokens);
        const auto decoded =
            decodeXpress(encodeXpressBlocks(blocksFromTokens(tokens, true)), expected.size());
        ASSERT_TRUE(decoded.has_value()) << length;
        EXPECT_TRUE(*decoded == expected) << length;
    }
}

TEST(XpressStream, EveryOffsetWidth) {
    const std::vector<std::uint8_t> start = randomBytes(65535, 21);
    for (unsigned bits = 0; bits < 16; ++bits) {
        for (std::uint32_t offset : {1u << bits, (2u << bits) - 1}) {
            if (offset > 65535) {
                continue;
            }
            std::vector<XpressToken> tokens;
            for (std::uint8_t byte : start) {
                tokens.push_back(literal(byte));
            }
            tokens.push_back(match(5, offset));
            tokens.push_back(literal('w'));
            // The match carries the first block past 65,536 bytes; 'w' starts the next.
            const std::vector<std::uint8_t> expected = expand(tokens);
            const auto decoded =
                decodeXpress(encodeXpressBlocks(blocksFromTokens(tokens, true)), expected.size());
            ASSERT_TRUE(decoded.has_value()) << offset;
            EXPECT_TRUE(*decoded == expected) << offset;
        }
    }
}

TEST(XpressStream, AMatchMayCarryABlockPastItsEnd) {
    // The first block's match runs 40 bytes past 65,536; the second block
    // starts where it ended and gets a full 65,536 bytes of its own.
    XpressBlock first{{literal('q'), match(65575, 1)}, false};
    std::vector<XpressToken> secondTokens;
    const std::vector<std::uint8_t> tail = randomBytes(65536, 4);
    for (std::uint8_t byte : tail) {
        secondTokens.push_back(literal(byte));
    }
    XpressBlock second{secondTokens, false};
    XpressBlock third{{literal('!'), match(3, 1)}, true};
    std::vector<std::uint8_t> expected = expand(first.tokens);
    expected = expand(second.tokens, expected);
    expected = expand(third.tokens, expected);
    const auto decoded = decodeXpress(encodeXpressBlocks({first, second, third}), expected.size());
    ASSERT_TRUE(decoded.has_value());
    EXPECT_TRUE(*decoded == expected);
}

TEST(XpressStream, MatchesReachBackIntoEarlierBlocks) {
    std::vector<XpressToken> firstTokens;
    for (std::uint8_t byte : randomBytes(65536, 8)) {
        firstTokens.push_back(literal(byte));
    }
    XpressBlock first{firstTokens, false};
    XpressBlock second{{match(100, 65535), match(300, 60000), literal('e')}, true};
    std::vector<std::uint8_t> expected = expand(first.tokens);
    expected = expand(second.tokens, expected);
    const auto decoded = decodeXpress(encodeXpressBlocks({first, second}), expected.size());
    ASSERT_TRUE(decoded.has_value());
    EXPECT_TRUE(*decoded == expected);
}

TEST(XpressStream, Symbol256BeforeTheEndIsAMatch) {
    // Length 3 at offset 1 is symbol 256; with output still to come it copies.
    const std::vector<XpressToken> tokens = {literal('x'), match(3, 1), literal('y'), match(3, 1)};
    const auto decoded = decodeXpress(encodeXpressBlocks({{tokens, false}}), 8);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, (std::vector<std::uint8_t>{'x', 'x', 'x', 'x', 'y', 'y', 'y', 'y'}));
}

TEST(XpressStream, AStreamWithoutEndSymbolEndsWithItsOutput) {
    const std::vector<XpressToken> tokens = {literal('o'), literal('k')};
    const auto decoded = decodeXpress(encodeXpressBlocks({{tokens, false}}), 2);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, (std::vector<std::uint8_t>{'o', 'k'}));
}

TEST(XpressStream, CodesFromOneToFifteenBitsDecodeForLiteralsAndMatches) {
    // Symbol frequencies halving from one kind to the next stretch the code
    // to its longest lengths: literals and matches with codes past the
    // first 11 bits the decoder looks up at once, and matches whose code and
    // offset bits fit in those 11 bits or do not.
    std::vector<XpressToken> tokens;
    for (std::uint8_t byte : randomBytes(2048, 13)) {
        tokens.push_back(literal(byte));
    }
    std::vector<XpressToken> mixed;
    for (unsigned kind = 0; kind <= 12; ++kind) {
        for (unsigned copy = 0; copy < (1u << (12 - kind)); ++copy) {
            mixed.push_back(literal(static_cast<std::uint8_t>('A' + kind)));
            mixed.push_back(match(3 + kind % 3, (1u << (kind % 11)) + kind));
        }
    }
    std::mt19937 order(7);
    std::shuffle(mixed.begin(), mixed.end(), order);
    tokens.insert(tokens.end(), mixed.begin(), mixed.end());
    const std::vector<std::uint8_t> expected = expand(tokens);
    ASSERT_LE(expected.size(), 65536u); // one block, one table
    const std::vector<std::uint8_t> stream = encodeXpressBlocks({{tokens, true}});

    auto codeLength = [&](unsigned symbol) {
        return symbol % 2 == 0 ? stream[symbol / 2] & 15u : stream[symbol / 2] >> 4;
    };
    bool longLiteral = false, longMatch = false, matchWithinFirstBits = false,
         matchPastFirstBits = false;
    for (unsigned symbol = 0; symbol < 512; ++symbol) {
        const unsigned length = codeLength(symbol);
        if (length == 0) {
            continue;
        }
        const unsigned offsetBits = symbol >= 256 ? ((symbol - 256) >> 4) : 0;
        longLiteral |= symbol < 256 && length > 11;
        longMatch |= symbol >= 256 && length > 11;
        matchWithinFirstBits |= symbol >= 256 && length + offsetBits <= 11;
        matchPastFirstBits |= symbol >= 256 && length <= 11 && length + offsetBits > 11;
    }
    EXPECT_TRUE(longLiteral && longMatch && matchWithinFirstBits && matchPastFirstBits);

    const auto decoded = decodeXpress(stream, expected.size());
    ASSERT_TRUE(decoded.has_value());
    EXPECT_TRUE(*decoded == expected);
}

// A block with the given code lengths (symbol → length) and some bits after it.
std::vector<std::uint8_t>
blockWithLengths(const std::vector<std::pair<unsigned, unsigned>>& lengths) {
    std::vector<std::uint8_t> stream(256, 0);
    for (const auto& [symbol, length] : lengths) {
        stream[symbol / 2] |= static_cast<std::uint8_t>(symbol % 2 == 0 ? length : length << 4);
    }
    stream.insert(stream.end(), 16, 0x00);
    return stream;
}

TEST(XpressStream, TablesThatAreNotACompleteCodeAreRefused) {
    EXPECT_FALSE(decodeXpress(blockWithLengths({}), 4).has_value()); // all zero
    EXPECT_FALSE(decodeXpress(blockWithLengths({{'a', 1}, {'b', 1}, {'c', 1}}), 4).has_value());
    EXPECT_FALSE(decodeXpress(blockWithLengths({{'a', 1}, {'b', 2}}), 4).has_value());
    EXPECT_FALSE(decodeXpress(blockWithLengths({{'a', 15}}), 4).has_value());
    // The smallest complete code: two symbols of one bit. Zero bits mean 'a'.
    EXPECT_EQ(decodeXpress(blockWithLengths({{'a', 1}, {'b', 1}}), 4),
              (std::vector<std::uint8_t>{'a', 'a', 'a', 'a'}));
}

TEST(XpressStream, AnOffsetBeforeTheStartIsRefused) {
    EXPECT_FALSE(decodeXpress(encodeXpressBlocks({{{match(4, 1)}, true}}), 4).has_value());
    EXPECT_FALSE(
        decodeXpress(encodeXpressBlocks({{{literal('a'), match(4, 2)}, true}}), 5).has_value());
}

TEST(XpressStream, AnOffsetBeforeTheStartIsRefusedWellInsideALongOutput) {
    // Far from both ends of the output, where the decoder reads fastest: a
    // match a byte or more too far back, followed by many sound matches of
    // its length and offset width, so that its symbol gets a short code
    // (code and offset then come from one lookup where they fit).
    for (std::uint32_t position : {8u, 40u, 700u, 1500u, 3000u}) {
        for (std::uint32_t length : {4u, 16u, 17u, 40u}) {
            for (std::uint32_t tooFar : {1u, 200u, 2000u}) {
                const std::uint32_t offset = position + tooFar;
                const std::uint32_t width = std::bit_width(offset) - 1;
                const std::uint32_t sound = std::max(1u << width, 8u);
                std::vector<XpressToken> tokens;
                for (std::uint8_t byte : randomBytes(std::max(position, sound), 5)) {
                    tokens.push_back(literal(byte));
                }
                const std::size_t at = position;
                tokens.insert(tokens.begin() + at, match(length, offset));
                for (int i = 0; i < 300; ++i) {
                    tokens.push_back(literal(static_cast<std::uint8_t>(i)));
                    tokens.push_back(match(length, sound));
                }
                std::vector<XpressToken> soundTokens = tokens;
                soundTokens[at] = match(length, std::max(position, 1u));
                const std::vector<std::uint8_t> expected = expand(soundTokens);
                const std::string what = std::to_string(position) + " " + std::to_string(length) +
                                         " " + std::to_string(offset);
                EXPECT_FALSE(
                    decodeXpress(encodeXpressBlocks({{tokens, true}}), expected.size()).has_value())
                    << what;
                // The same match reaching back exactly to the start is read.
                EXPECT_EQ(decodeXpress(encodeXpressBlocks({{soundTokens, true}}), expected.size()),
                          expected)
                    << what;
            }
        }
    }
}

TEST(XpressStream, ShortCodesEndEachBlockWhereItsOutputEnds) {
    // Codes of one to four bits give many symbols per 32 bits read; the
    // first block must still end exactly after 65,536 bytes (its last symbol
    // may carry it past them), wherever among such symbols that falls, and
    // the output's last bytes must be written inside it.
    std::mt19937 pick(11);
    for (int variant = 0; variant < 400; ++variant) {
        std::vector<XpressToken> firstTokens;
        for (std::uint8_t byte : randomBytes(8, 9)) {
            firstTokens.push_back(literal(byte));
        }
        std::size_t made = 8;
        // Mostly 16-byte matches, with runs of a literal between them that
        // shift where the bits run out relative to the output.
        while (made + 16 <= 65536) {
            if (pick() % (4 + variant % 16) == 0) {
                firstTokens.push_back(literal('a'));
                ++made;
            } else {
                firstTokens.push_back(match(16, 8));
                made += 16;
            }
        }
        while (made < 65536) {
            firstTokens.push_back(literal('a'));
            ++made;
        }
        std::vector<XpressToken> secondTokens = {literal('b'), literal('c')};
        for (std::size_t i = 0; i < 40 + pick() % 40; ++i) {
            secondTokens.push_back(i % 3 == 0 ? literal('d') : match(16, 8));
        }
        std::vector<std::uint8_t> expected = expand(firstTokens);
        expected = expand(secondTokens, expected);
        const auto decoded = decodeXpress(
            encodeXpressBlocks({{firstTokens, false}, {secondTokens, false}}), expected.size());
        ASSERT_TRUE(decoded.has_value()) << variant;
        EXPECT_TRUE(*decoded == expected) << variant;
    }
}

TEST(XpressStream, AMatchPastTheDeclaredSizeIsRefused) {
    const std::vector<XpressToken> tokens = {literal('a'), match(10, 1)};
    EXPECT_FALSE(decodeXpress(encodeXpressBlocks({{tokens, true}}), 5).has_value());
    EXPECT_TRUE(decodeXpress(encodeXpressBlocks({{tokens, true}}), 11).has_value());
}

TEST(XpressStream, DataShorterThanDeclaredIsRefused) {
    const std::vector<XpressToken> tokens = {literal('a'), literal('b')};
    // With an end symbol and without one: the stream runs out of meaning.
    EXPECT_FALSE(decodeXpress(encodeXpressBlocks({{tokens, true}}), 200).has_value());
    EXPECT_FALSE(decodeXpress(encodeXpressBlocks({{tokens, false}}), 200).has_value());
}

TEST(XpressStream, TruncatedLongLengthsAreRefused) {
    const std::vector<XpressToken> tokens = {literal('a'), match(70000, 1)};
    const std::vector<std::uint8_t> stream = encodeXpressBlocks({{tokens, false}});
    // Table, two words of bits, then the seven raw bytes of the 32-bit form.
    ASSERT_EQ(stream.size(), 256u + 4u + 7u);
    EXPECT_TRUE(decodeXpress(stream, 70001).has_value());
    for (std::size_t keep = 0; keep < stream.size(); ++keep) {
        const std::vector<std::uint8_t> cut(stream.begin(),
                                            stream.begin() + static_cast<long>(keep));
        EXPECT_FALSE(decodeXpress(cut, 70001).has_value()) << keep;
    }
}

} // namespace
} // namespace tidewell
