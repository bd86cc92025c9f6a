// Values read whole and decoded by their Windows types, for every reader of
// keys: text, 32- and 64-bit numbers, and a value's raw data up to a limit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "registry/registry.h"

namespace tidewell {

// A REG_SZ or REG_EXPAND_SZ value as text, without its terminating NULs (and
// not expanded); false for any other type or a value that cannot be read.
bool regQueryText(const RegistryKey& key, const std::wstring& name, std::wstring& text);

// A REG_DWORD value of exactly four bytes.
bool regQueryDword(const RegistryKey& key, const std::wstring& name, std::uint32_t& value);

enum class ValueRead {
    Read,
    Absent,     // no value of that name
    Unreadable, // it could not be read, or it is larger than the limit
};

// A named value's type and whole data, when it holds at most limit bytes.
ValueRead regReadValue(const RegistryKey& key, const std::wstring& name, std::uint32_t limit,
                       std::uint32_t& type, std::vector<std::uint8_t>& data);

// A value's data as its type holds it; false for any other type or shape.
// Text: REG_SZ or REG_EXPAND_SZ of whole UTF-16 units, terminators trimmed.
bool valueAsText(std::uint32_t type, const std::vector<std::uint8_t>& data, std::wstring& text);
// REG_DWORD of four bytes.
bool valueAsDword(std::uint32_t type, const std::vector<std::uint8_t>& data, std::uint32_t& value);
// REG_QWORD, or REG_BINARY, of eight bytes.
bool valueAsQword(std::uint32_t type, const std::vector<std::uint8_t>& data, std::uint64_t& value);

} // namespace tidewell
