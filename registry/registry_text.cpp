#include "registry/registry_text.h"

#include <vector>

#include "platform/error_codes.h"

namespace tidewell {

namespace {

constexpr std::uint32_t textLimit = 65536; // bytes; far more than a path or a name needs

} // namespace

bool regQueryText(const RegistryKey& key, const std::wstring& name, std::wstring& text) {
    text.clear();
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (regQueryValue(key, name, type, nullptr, size) != ERROR_SUCCESS ||
        (type != registryTypeString && type != registryTypeExpandString) || size > textLimit) {
        return false;
    }
    std::vector<std::uint8_t> bytes(size);
    if (size != 0 && regQueryValue(key, name, type, bytes.data(), size) != ERROR_SUCCESS) {
        return false;
    }
    for (std::uint32_t at = 0; at + 1 < size; at += 2) {
        text.push_back(static_cast<wchar_t>(bytes[at] | (bytes[at + 1] << 8)));
    }
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return true;
}

bool regQueryDword(const RegistryKey& key, const std::wstring& name, std::uint32_t& value) {
    std::uint8_t data[4] = {};
    std::uint32_t size = sizeof data;
    std::uint32_t type = 0;
    // A value longer than four bytes fails the read with ERROR_MORE_DATA.
    if (regQueryValue(key, name, type, data, size) != ERROR_SUCCESS || type != registryTypeDword ||
        size != sizeof data) {
        return false;
    }
    value = static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
            (static_cast<std::uint32_t>(data[2]) << 16) |
            (static_cast<std::uint32_t>(data[3]) << 24);
    return true;
}

} // namespace tidewell
