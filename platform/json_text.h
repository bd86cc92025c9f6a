// JSON text (RFC 8259) in UTF-8, written by hand so that no text is lost:
// the program's UTF-16 becomes UTF-8, and a lone surrogate (a registry name
// may hold one) is written as its \uXXXX escape, never dropped or replaced.
// Control characters, quotes and backslashes are escaped as the RFC asks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// Builds one JSON value into text: objects and arrays are opened and
// closed, members and elements separated as they are added.
struct JsonWriter {
    std::string text;
    std::vector<bool> firstInLevel; // one per open object or array
    bool afterKey = false;          // the next value is a member's

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name); // names are ASCII
    void string(std::wstring_view value);
    void number(std::uint64_t value);
    void signedNumber(long long value);
    void boolean(bool value);
    void null();

    // A member whose value follows at once: key(name) then the value.
    void member(std::string_view name, std::wstring_view value);
    void member(std::string_view name, std::uint64_t value);
    void memberFlag(std::string_view name, bool value);
    void memberNull(std::string_view name);

private:
    void separate();
};

// The text as a JSON string literal, quotes included.
std::string jsonString(std::wstring_view value);

// A moment both ways: {"filetime": raw FILETIME, "utc": ISO 8601 UTC to 100
// ns, or null for a moment no calendar holds}.
void jsonMoment(JsonWriter& json, std::uint64_t filetime);

// Its two members alone, into an object the caller opened.
void jsonMomentMembers(JsonWriter& json, std::uint64_t filetime);

// A member holding a moment, or null for 0 (no moment).
void jsonOptionalMoment(JsonWriter& json, std::string_view name, std::uint64_t filetime);

// A member holding text, or null for empty text.
void jsonOptionalText(JsonWriter& json, std::string_view name, std::wstring_view text);

} // namespace tidewell
