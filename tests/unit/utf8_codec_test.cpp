// The one UTF-8 codec: text and file names survive the trip both ways.
#include "platform/utf8_codec.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

std::wstring units(std::initializer_list<std::uint16_t> list) {
    std::wstring text;
    for (std::uint16_t unit : list) {
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

TEST(Utf8Codec, EveryKindOfCharacterRoundTrips) {
    const std::wstring text = units({'A', 0x00E9, 0x20AC, 0xD83D, 0xDE00, '\\', 0x4E2D});
    const std::string bytes = toUtf8(text);
    EXPECT_EQ(bytes, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\\\xE4\xB8\xAD");
    EXPECT_EQ(fromUtf8(bytes), text);
}

TEST(Utf8Codec, BytesThatAreNotUtf8ComeBackAsTheyWere) {
    // A Latin-1 name, a cut sequence, an overlong slash and a coded surrogate.
    for (const std::string& bytes :
         {std::string("caf\xE9.pf"), std::string("a\xE2\x82"), std::string("\xC0\xAF"),
          std::string("\xED\xA0\x80"), std::string("\xF5\x80\x80\x80")}) {
        const std::wstring text = fromUtf8(bytes);
        for (wchar_t unit : text) {
            EXPECT_FALSE(unit >= 0xD800 && unit < 0xDC00) << "no high surrogate invented";
        }
        EXPECT_EQ(toUtf8(text), bytes);
    }
    EXPECT_EQ(fromUtf8("caf\xE9"), units({'c', 'a', 'f', 0xDCE9}));
}

TEST(Utf8Codec, UnpairedSurrogatesFromWindowsBecomeTheReplacementCharacter) {
    EXPECT_EQ(toUtf8(units({'x', 0xD800})), "x\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(units({0xDC00, 'y'})), "\xEF\xBF\xBDy");
    EXPECT_EQ(toUtf8(units({0xDE00, 0xD83D})), "\xEF\xBF\xBD\xEF\xBF\xBD") << "pair reversed";
}

} // namespace
} // namespace tidewell
