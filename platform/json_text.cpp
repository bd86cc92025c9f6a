#include "platform/json_text.h"

#include <cstdio>
#include <string>

#include "platform/utc_calendar.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace {

void appendEscape(std::string& out, std::uint32_t unit) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
    out += escape;
}

void appendString(std::string& out, std::wstring_view value) {
    out.push_back('"');
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto unit = static_cast<std::uint32_t>(static_cast<std::uint16_t>(value[i]));
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < value.size()) {
            const auto low = static_cast<std::uint32_t>(static_cast<std::uint16_t>(value[i + 1]));
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        switch (unit) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            // Control characters, and a surrogate without its other half,
            // which UTF-8 cannot carry, stand as escapes.
            if (unit < 0x20 || (unit >= 0xD800 && unit < 0xE000)) {
                appendEscape(out, unit);
            } else {
                appendUtf8(out, unit);
            }
        }
    }
    out.push_back('"');
}

} // namespace

std::string jsonString(std::wstring_view value) {
    std::string out;
    appendString(out, value);
    return out;
}

void JsonWriter::separate() {
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (!firstInLevel.empty()) {
        if (!firstInLevel.back()) {
            text.push_back(',');
        }
        firstInLevel.back() = false;
    }
}

void JsonWriter::beginObject() {
    separate();
    text.push_back('{');
    firstInLevel.push_back(true);
}

void JsonWriter::endObject() {
    firstInLevel.pop_back();
    text.push_back('}');
}

void JsonWriter::beginArray() {
    separate();
    text.push_back('[');
    firstInLevel.push_back(true);
}

void JsonWriter::endArray() {
    firstInLevel.pop_back();
    text.push_back(']');
}

void JsonWriter::key(std::string_view name) {
    separate();
    text.push_back('"');
    text += name;
    text += "\":";
    afterKey = true;
}

void JsonWriter::string(std::wstring_view value) {
    separate();
    appendString(text, value);
}

void JsonWriter::number(std::uint64_t value) {
    separate();
    text += std::to_string(value);
}

void JsonWriter::signedNumber(long long value) {
    separate();
    text += std::to_string(value);
}

void JsonWriter::boolean(bool value) {
    separate();
    text += value ? "true" : "false";
}

void JsonWriter::null() {
    separate();
    text += "null";
}

void JsonWriter::member(std::string_view name, std::wstring_view value) {
    key(name);
    string(value);
}

void JsonWriter::member(std::string_view name, std::uint64_t value) {
    key(name);
    number(value);
}

void JsonWriter::memberFlag(std::string_view name, bool value) {
    key(name);
    boolean(value);
}

void JsonWriter::memberNull(std::string_view name) {
    key(name);
    null();
}

void jsonMoment(JsonWriter& json, std::uint64_t filetime) {
    json.beginObject();
    jsonMomentMembers(json, filetime);
    json.endObject();
}

void jsonMomentMembers(JsonWriter& json, std::uint64_t filetime) {
    json.member("filetime", filetime);
    const std::wstring text = isoUtcText(filetime);
    if (text.empty()) {
        json.memberNull("utc");
    } else {
        json.member("utc", text);
    }
}

void jsonOptionalMoment(JsonWriter& json, std::string_view name, std::uint64_t filetime) {
    json.key(name);
    if (filetime == 0) {
        json.null();
    } else {
        jsonMoment(json, filetime);
    }
}

void jsonOptionalText(JsonWriter& json, std::string_view name, std::wstring_view text) {
    if (text.empty()) {
        json.memberNull(name);
    } else {
        json.member(name, text);
    }
}

} // namespace tidewell
