// Bytes written as Windows writes them, for the sample-data makers: numbers
// little-endian, text as UTF-16LE units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tidewell::sample {

inline void put16(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    put16(bytes, value & 0xFFFF);
    put16(bytes, value >> 16);
}

inline void put64(std::vector<std::uint8_t>& bytes, std::uint64_t value) {
    put32(bytes, static_cast<std::uint32_t>(value));
    put32(bytes, static_cast<std::uint32_t>(value >> 32));
}

inline void set32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

inline std::vector<std::uint8_t> utf16Bytes(const std::wstring& text) {
    std::vector<std::uint8_t> bytes;
    for (wchar_t unit : text) {
        put16(bytes, static_cast<std::uint16_t>(unit));
    }
    return bytes;
}

inline void append(std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

} // namespace tidewell::sample
