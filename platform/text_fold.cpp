#include "platform/text_fold.h"

#include <cstdint>

namespace tidewell {

std::wstring foldText(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& unit : folded) {
        unit = foldAscii(unit);
    }
    return folded;
}

bool equalsFolded(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && startsWithFolded(a, b);
}

bool startsWithFolded(std::wstring_view text, std::wstring_view prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (foldAscii(text[i]) != foldAscii(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool endsWithFolded(std::wstring_view text, std::wstring_view suffix) {
    return suffix.size() <= text.size() &&
           startsWithFolded(text.substr(text.size() - suffix.size()), suffix);
}

int compareFolded(std::wstring_view a, std::wstring_view b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        if (a[i] == b[i]) {
            continue; // equal units fold alike; most of a sort's comparing ends here
        }
        // Units are UTF-16 code units on every platform; compare them as such.
        const auto ua = static_cast<std::uint16_t>(foldAscii(a[i]));
        const auto ub = static_cast<std::uint16_t>(foldAscii(b[i]));
        if (ua != ub) {
            return static_cast<int>(ua) - static_cast<int>(ub);
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

bool containsFolded(std::wstring_view haystack, std::wstring_view foldedNeedle) {
    if (foldedNeedle.empty()) {
        return true;
    }
    if (foldedNeedle.size() > haystack.size()) {
        return false;
    }
    // The first unit is matched in both of its cases without folding, which
    // settles most starting places at the cost of two comparisons.
    const wchar_t first = foldedNeedle[0];
    const wchar_t firstUpper =
        (first >= L'a' && first <= L'z') ? static_cast<wchar_t>(first - L'a' + L'A') : first;
    const std::size_t lastStart = haystack.size() - foldedNeedle.size();
    for (std::size_t start = 0; start <= lastStart; ++start) {
        const wchar_t unit = haystack[start];
        if (unit != first && unit != firstUpper) {
            continue;
        }
        std::size_t i = 1;
        while (i < foldedNeedle.size() && foldAscii(haystack[start + i]) == foldedNeedle[i]) {
            ++i;
        }
        if (i == foldedNeedle.size()) {
            return true;
        }
    }
    return false;
}

} // namespace tidewell
