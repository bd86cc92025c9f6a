// Case-insensitive text handling that folds only the ASCII letters A to Z.
// Windows' own case rules depend on the locale and the file system; a forensic
// view must give the same answer everywhere, so every other character,
// accented letters included, is compared exactly as stored.
#pragma once

#include <string>
#include <string_view>

namespace tidewell {

inline wchar_t foldAscii(wchar_t unit) {
    return (unit >= L'A' && unit <= L'Z') ? static_cast<wchar_t>(unit - L'A' + L'a') : unit;
}

std::wstring foldText(std::wstring_view text);

bool equalsFolded(std::wstring_view a, std::wstring_view b);
bool startsWithFolded(std::wstring_view text, std::wstring_view prefix);
bool endsWithFolded(std::wstring_view text, std::wstring_view suffix);

// Unit-by-unit order after folding: negative, zero or positive. The first
// difference decides by the numeric difference of the folded UTF-16 units; a
// text that is a prefix of the other comes first.
int compareFolded(std::wstring_view a, std::wstring_view b);

// Whether an already folded needle occurs as a contiguous piece of the folded
// haystack. An empty needle occurs everywhere.
bool containsFolded(std::wstring_view haystack, std::wstring_view foldedNeedle);

} // namespace tidewell
