#include "platform/inert_text.h"

namespace tidewell {

namespace {

bool isControl(wchar_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

} // namespace

std::wstring visibleText(std::wstring_view text) {
    std::wstring shown;
    shown.reserve(text.size());
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    for (const wchar_t unit : text) {
        if (!isControl(unit)) {
            shown.push_back(unit);
            continue;
        }
        shown += L"<U+00";
        shown.push_back(digits[(unit >> 4) & 0xF]);
        shown.push_back(digits[unit & 0xF]);
        shown.push_back(L'>');
    }
    return shown;
}

bool startsLikeFormula(std::wstring_view cell) {
    if (cell.empty()) {
        return false;
    }
    switch (cell.front()) {
    case L'=':
    case L'+':
    case L'-':
    case L'@':
    case L'\t':
    case L'\r':
        return true;
    default:
        return false;
    }
}

std::wstring inertCell(std::wstring_view cell) {
    std::wstring text;
    if (startsLikeFormula(cell)) {
        text.push_back(L'\'');
    }
    text.append(cell);
    return text;
}

} // namespace tidewell
