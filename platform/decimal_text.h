// Unsigned decimal text without any locale: digits only, zero-padded to a
// minimum width, exactly as "%0Nu" would write them in the "C" locale.
#pragma once

#include <cstddef>
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

// Digits in groups of three, as a sentence writes a large number
// (31,457,280).
inline std::wstring groupedDecimalText(std::uint64_t value) {
    const std::wstring digits = decimalText(value);
    std::wstring grouped;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at != 0 && (digits.size() - at) % 3 == 0) {
            grouped.push_back(L',');
        }
        grouped.push_back(digits[at]);
    }
    return grouped;
}

// A message names at most this many items of a list, then how many more.
inline constexpr std::size_t itemsNamedAtMost = 10;
inline std::wstring moreItemsText(std::size_t more) {
    return L"and " + groupedDecimalText(more) + L" more";
}

} // namespace tidewell
