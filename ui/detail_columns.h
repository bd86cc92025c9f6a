// The detail text as the detail window shows it: the text pads each label
// with spaces to a column, which lines the values up only in a font whose
// letters are all as wide; the window's font is proportional, so there each
// label's padding (and a continuation line's indent) becomes one tab, and
// the window sets its tab stop past the widest label as its font draws it.
#pragma once

#include <string>
#include <vector>

namespace tidewell {

// The text with the values' column made a tab stop.
std::wstring detailTextWithTabs(const std::wstring& text);

// The labels of the text (each line's text before its tab), for measuring.
std::vector<std::wstring> detailLabels(const std::wstring& tabbed);

} // namespace tidewell
