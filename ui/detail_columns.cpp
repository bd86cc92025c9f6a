#include "ui/detail_columns.h"

#include <string_view>

namespace tidewell {

namespace {

constexpr std::size_t valueColumn = 19; // where the text starts every value

// A label ("Path status:") padded with spaces up to the values' column,
// then a value: the length of the label, or 0 for any other line.
std::size_t paddedLabel(std::wstring_view line) {
    if (line.size() <= valueColumn || line[0] == L' ' || line[valueColumn] == L' ') {
        return 0;
    }
    const std::size_t colon = line.find(L':');
    if (colon == std::wstring_view::npos || colon + 1 >= valueColumn) {
        return 0;
    }
    for (std::size_t at = colon + 1; at < valueColumn; ++at) {
        if (line[at] != L' ') {
            return 0;
        }
    }
    return colon + 1;
}

// A continuation of a value on the next line, indented to the values' column.
bool continuesValue(std::wstring_view line) {
    if (line.size() <= valueColumn || line[valueColumn] == L' ') {
        return false;
    }
    return line.substr(0, valueColumn).find_first_not_of(L' ') == std::wstring_view::npos;
}

template <typename Visit> void eachLine(const std::wstring& text, Visit visit) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L"\r\n", start);
        const bool last = end == std::wstring::npos;
        end = last ? text.size() : end;
        visit(std::wstring_view(text).substr(start, end - start), !last);
        if (last) {
            break;
        }
        start = end + 2;
    }
}

} // namespace

std::wstring detailTextWithTabs(const std::wstring& text) {
    std::wstring tabbed;
    tabbed.reserve(text.size());
    eachLine(text, [&](std::wstring_view line, bool ended) {
        if (const std::size_t label = paddedLabel(line)) {
            tabbed.append(line.substr(0, label));
            tabbed.push_back(L'\t');
            tabbed.append(line.substr(valueColumn));
        } else if (continuesValue(line)) {
            tabbed.push_back(L'\t');
            tabbed.append(line.substr(valueColumn));
        } else {
            tabbed.append(line);
        }
        if (ended) {
            tabbed.append(L"\r\n");
        }
    });
    return tabbed;
}

std::vector<std::wstring> detailLabels(const std::wstring& tabbed) {
    std::vector<std::wstring> labels;
    eachLine(tabbed, [&](std::wstring_view line, bool) {
        const std::size_t tab = line.find(L'\t');
        if (tab != std::wstring_view::npos && tab != 0) {
            labels.emplace_back(line.substr(0, tab));
        }
    });
    return labels;
}

} // namespace tidewell
