// JSON text as RFC 8259 has it, and nothing of the program's text lost on
// the way: pairs become UTF-8, lone surrogates and control characters
// escapes, everything else itself.
#include "platform/json_text.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

std::wstring units(std::initializer_list<unsigned> values) {
    std::wstring text;
    for (unsigned value : values) {
        text.push_back(static_cast<wchar_t>(value));
    }
    return text;
}

TEST(JsonString, QuotesBackslashesAndControlCharactersAreEscaped) {
    EXPECT_EQ(jsonString(L"plain"), "\"plain\"");
    EXPECT_EQ(jsonString(L"say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(jsonString(L"C:\\Tools\\x.exe"), "\"C:\\\\Tools\\\\x.exe\"");
    EXPECT_EQ(jsonString(L"a\tb\nc\rd"), "\"a\\tb\\nc\\rd\"");
    EXPECT_EQ(jsonString(units({0x00, 0x01, 0x07, 0x1F, 0x20, 0x7F})),
              std::string("\"\\u0000\\u0001\\u0007\\u001f \x7F\""));
    EXPECT_EQ(jsonString(L"/"), "\"/\"") << "the solidus needs no escape";
}

TEST(JsonString, OtherTextBecomesUtf8) {
    EXPECT_EQ(jsonString(units({0xE9})), "\"\xC3\xA9\"");                           // é: two bytes
    EXPECT_EQ(jsonString(units({0x65E5, 0x672C})), "\"\xE6\x97\xA5\xE6\x9C\xAC\""); // 日本
    EXPECT_EQ(jsonString(units({0xD83D, 0xDE00})), "\"\xF0\x9F\x98\x80\"");         // U+1F600
    EXPECT_EQ(jsonString(units({0xDBFF, 0xDFFF})), "\"\xF4\x8F\xBF\xBF\"");         // U+10FFFF
    EXPECT_EQ(jsonString(units({0xFFFF})), "\"\xEF\xBF\xBF\"");
}

TEST(JsonString, ASurrogateWithoutItsOtherHalfStaysAsItsEscape) {
    EXPECT_EQ(jsonString(units({'a', 0xD800, 'b'})), "\"a\\ud800b\"");
    EXPECT_EQ(jsonString(units({0xDC00})), "\"\\udc00\"") << "a low half alone";
    EXPECT_EQ(jsonString(units({0xD83D})), "\"\\ud83d\"") << "a high half at the end";
    EXPECT_EQ(jsonString(units({0xDE00, 0xD83D})), "\"\\ude00\\ud83d\"") << "the wrong order";
    EXPECT_EQ(jsonString(units({0xD83D, 0xD83D, 0xDE00})), "\"\\ud83d\xF0\x9F\x98\x80\"");
    // A byte of a Linux file name that was not UTF-8 comes in as U+DC00 plus
    // the byte; it leaves as that escape, not as a replacement character.
    EXPECT_EQ(jsonString(units({'x', 0xDCFF})), "\"x\\udcff\"");
}

TEST(JsonWriter, MembersAndElementsAreSeparatedAsTheyAreAdded) {
    JsonWriter json;
    json.beginObject();
    json.member("name", L"a");
    json.member("count", std::uint64_t{18446744073709551615ULL});
    json.key("signed");
    json.signedNumber(-11644473600000000LL);
    json.memberNull("none");
    json.key("list");
    json.beginArray();
    json.boolean(true);
    json.beginObject();
    json.endObject();
    json.beginArray();
    json.endArray();
    json.string(L"");
    json.endArray();
    json.memberFlag("last", false);
    json.endObject();
    EXPECT_EQ(json.text, "{\"name\":\"a\",\"count\":18446744073709551615,"
                         "\"signed\":-11644473600000000,\"none\":null,"
                         "\"list\":[true,{},[],\"\"],\"last\":false}");
}

} // namespace
} // namespace tidewell
