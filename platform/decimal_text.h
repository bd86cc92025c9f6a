// Unsigned decimal text without any locale: digits only, zero-padded to a
// minimum width, exactly as "%0Nu" would write them in the "C" locale.
#pragma once

#include <cstdint>
#include <string>

namespace tidewell {

inline void appendDecimal(std::wstring& out, std::uint64_t value, unsigned minimumWidth = 1) {
    wchar_t digits[20];
    unsigned count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (unsigned pad = count; pad < minimumWidth; ++pad) {
        out.push_back(L'0');
    }
    while (count > 0) {
        out.push_back(digits[--count]);
    }
}

inline std::wstring decimalText(std::uint64_t value) {
    std::wstring text;
    appendDecimal(text, value);
    return text;
}

} // namespace tidewell
