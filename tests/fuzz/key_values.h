// The registry sources' fuzz input form, shared by their targets and seed
// writers: values one after another, each its type (one byte, taken modulo
// 12), its name's and its data's lengths in bytes (one byte each), its name
// (UTF-16LE) and its data. A value cut short takes what is left.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "registry/registry_text.h"

namespace tidewell::fuzz {

inline std::vector<KeyValue> keyValuesOf(const std::uint8_t* data, std::size_t size) {
    std::vector<KeyValue> values;
    std::size_t at = 0;
    while (at + 3 <= size) {
        KeyValue value;
        value.type = data[at] % 12;
        const std::size_t nameBytes = std::min<std::size_t>(data[at + 1], size - at - 3);
        const std::size_t dataBytes =
            std::min<std::size_t>(data[at + 2], size - at - 3 - nameBytes);
        at += 3;
        for (std::size_t byte = 0; byte + 1 < nameBytes; byte += 2) {
            value.name.push_back(static_cast<wchar_t>(data[at + byte] | data[at + byte + 1] << 8));
        }
        at += nameBytes;
        value.data.assign(data + at, data + at + dataBytes);
        at += dataBytes;
        values.push_back(std::move(value));
    }
    return values;
}

// One value in that form, appended to a seed.
inline void appendKeyValue(std::vector<std::uint8_t>& seed, std::uint8_t type,
                           const std::wstring& name, const std::vector<std::uint8_t>& data) {
    seed.push_back(type);
    seed.push_back(static_cast<std::uint8_t>(name.size() * 2));
    seed.push_back(static_cast<std::uint8_t>(data.size()));
    for (wchar_t unit : name) {
        seed.push_back(static_cast<std::uint8_t>(unit));
        seed.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
    }
    seed.insert(seed.end(), data.begin(), data.end());
}

} // namespace tidewell::fuzz
