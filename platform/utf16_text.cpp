#include "platform/utf16_text.h"

namespace tidewell {

std::wstring utf16leText(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    if (data == nullptr) {
        return text;
    }
    text.reserve(size / 2);
    for (std::size_t at = 0; at + 1 < size; at += 2) {
        text.push_back(static_cast<wchar_t>(data[at] | (data[at + 1] << 8)));
    }
    return text;
}

std::wstring utf16leTextTrimmed(const std::uint8_t* data, std::size_t size) {
    std::wstring text = utf16leText(data, size);
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

} // namespace tidewell
