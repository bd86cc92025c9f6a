#include "platform/utf8_codec.h"

#include <cstdint>

namespace tidewell {

namespace {

constexpr std::uint32_t escapedByteBase = 0xDC00;

bool isHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}

bool isLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

void appendUnit(std::wstring& out, std::uint32_t unit) {
    out.push_back(static_cast<wchar_t>(unit));
}

// The length of the valid sequence that starts at bytes[at], and its code
// point; 0 when no valid sequence starts there (overlong forms, surrogates
// and points above U+10FFFF are not valid).
std::size_t validSequence(std::string_view bytes, std::size_t at, std::uint32_t& point) {
    const auto lead = static_cast<std::uint8_t>(bytes[at]);
    std::size_t length = 0;
    std::uint32_t smallest = 0;
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - at < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(bytes[at + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        point = (point << 6) | (next & 0x3F);
    }
    if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000)) {
        return 0;
    }
    return length;
}

} // namespace

void appendUtf8(std::string& out, std::uint32_t point) {
    if (point < 0x80) {
        out.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (point >> 6)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

std::string toUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<std::uint32_t>(static_cast<std::uint16_t>(text[i]));
        if (isHighSurrogate(unit) && i + 1 < text.size()) {
            const auto low = static_cast<std::uint32_t>(static_cast<std::uint16_t>(text[i + 1]));
            if (isLowSurrogate(low)) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (unit >= escapedByteBase + 0x80 && unit <= escapedByteBase + 0xFF) {
            out.push_back(static_cast<char>(unit - escapedByteBase)); // a byte that came in raw
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::wstring fromUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        // Runs of ASCII, most of any text this program reads, unit for byte.
        std::size_t ascii = at;
        while (ascii < bytes.size() && static_cast<std::uint8_t>(bytes[ascii]) < 0x80) {
            ++ascii;
        }
        if (ascii != at) {
            out.append(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(ascii));
            at = ascii;
            continue;
        }
        std::uint32_t point = 0;
        const std::size_t length = validSequence(bytes, at, point);
        if (length == 0) {
            appendUnit(out, escapedByteBase + static_cast<std::uint8_t>(bytes[at]));
            ++at;
            continue;
        }
        if (point >= 0x10000) {
            appendUnit(out, 0xD800 + ((point - 0x10000) >> 10));
            appendUnit(out, 0xDC00 + ((point - 0x10000) & 0x3FF));
        } else {
            appendUnit(out, point);
        }
        at += length;
    }
    return out;
}

} // namespace tidewell
