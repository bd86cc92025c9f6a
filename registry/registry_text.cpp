#include "registry/registry_text.h"

#include "platform/byte_reader.h"
#include "platform/error_codes.h"
#include "platform/utf16_text.h"

namespace tidewell {

namespace {

constexpr std::uint32_t textLimit = 65536; // bytes; far more than a path or a name needs

bool isTextType(std::uint32_t type) {
    return type == registryTypeString || type == registryTypeExpandString;
}

} // namespace

ValueRead regReadValue(const RegistryKey& key, const std::wstring& name, std::uint32_t limit,
                       std::uint32_t& type, std::vector<std::uint8_t>& data) {
    data.clear();
    std::uint32_t size = 0;
    const std::uint32_t status = regQueryValue(key, name, type, nullptr, size);
    if (status == ERROR_FILE_NOT_FOUND) {
        return ValueRead::Absent;
    }
    if (status != ERROR_SUCCESS || size > limit) {
        return ValueRead::Unreadable;
    }
    data.resize(size);
    std::uint32_t read = size;
    if (regQueryValue(key, name, type, data.empty() ? nullptr : data.data(), read) !=
            ERROR_SUCCESS ||
        read != size) {
        data.clear();
        return ValueRead::Unreadable;
    }
    return ValueRead::Read;
}

bool valueAsText(std::uint32_t type, const std::vector<std::uint8_t>& data, std::wstring& text) {
    if (!isTextType(type) || data.size() % 2 != 0) {
        return false;
    }
    text = utf16leTextTrimmed(data.data(), data.size());
    return true;
}

bool valueAsDword(std::uint32_t type, const std::vector<std::uint8_t>& data, std::uint32_t& value) {
    return type == registryTypeDword && data.size() == 4 &&
           ByteView{data.data(), data.size()}.readU32(0, value);
}

bool valueAsQword(std::uint32_t type, const std::vector<std::uint8_t>& data, std::uint64_t& value) {
    return (type == registryTypeQword || type == registryTypeBinary) && data.size() == 8 &&
           ByteView{data.data(), data.size()}.readU64(0, value);
}

bool regQueryText(const RegistryKey& key, const std::wstring& name, std::wstring& text) {
    text.clear();
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
    if (regReadValue(key, name, textLimit, type, bytes) != ValueRead::Read || !isTextType(type)) {
        return false;
    }
    // An odd last byte is no unit: what stands before it is the text.
    text = utf16leTextTrimmed(bytes.data(), bytes.size());
    return true;
}

bool regQueryDword(const RegistryKey& key, const std::wstring& name, std::uint32_t& value) {
    std::uint8_t data[4] = {};
    std::uint32_t size = sizeof data;
    std::uint32_t type = 0;
    // A value longer than four bytes fails the read with ERROR_MORE_DATA.
    return regQueryValue(key, name, type, data, size) == ERROR_SUCCESS &&
           valueAsDword(type, std::vector<std::uint8_t>(data, data + size), value);
}

KeyValues regReadAllValues(const RegistryKey& key, std::uint32_t dataLimit) {
    constexpr std::uint32_t nameChars = 16384; // the registry's longest value name, and its NUL
    KeyValues all;
    for (std::uint32_t index = 0;; ++index) {
        KeyValue value;
        std::uint32_t size = 0;
        const std::uint32_t first =
            regEnumValue(key, index, nameChars, value.name, value.type, nullptr, size);
        if (first == ERROR_NO_MORE_ITEMS) {
            return all;
        }
        if (first != ERROR_SUCCESS) {
            all.stopped = true;
            return all;
        }
        if (size > dataLimit) {
            ++all.unreadable;
            continue;
        }
        value.data.resize(size);
        std::uint32_t read = size;
        if (size != 0 && (regEnumValue(key, index, nameChars, value.name, value.type,
                                       value.data.data(), read) != ERROR_SUCCESS ||
                          read != size)) {
            ++all.unreadable;
            continue;
        }
        all.values.push_back(std::move(value));
    }
}

} // namespace tidewell
