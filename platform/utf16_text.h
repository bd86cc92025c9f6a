// Bytes of UTF-16LE text (registry values, hive names, file fields) as the
// program's text, unit by unit: two bytes, little-endian, one unit each,
// whatever they hold (a lone surrogate stays the unit it is).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tidewell {

// Every whole unit of the bytes; an odd last byte is left out.
std::wstring utf16leText(const std::uint8_t* data, std::size_t size);

// The same without the NUL units that end it (a registry string's
// terminators).
std::wstring utf16leTextTrimmed(const std::uint8_t* data, std::size_t size);

} // namespace tidewell
