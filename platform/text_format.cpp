#include "platform/text_format.h"

#include <charconv>

namespace tidewell {

std::wstring hex8Text(std::uint32_t value) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text(8, L'0');
    for (int i = 7; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = digits[value & 0xF];
        value >>= 4;
    }
    return text;
}

std::wstring fixedText(double value, int decimals) {
    // to_chars is defined as printf in the "C" locale, and ignores the
    // process's locale: a comma locale cannot change the report's bytes.
    char buffer[400];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc{}) {
        return {};
    }
    return std::wstring(buffer, result.ptr);
}

} // namespace tidewell
