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

// Every value of a key, in the order the key lists them, each with its
// type and whole data (one larger than dataLimit, or whose data could not
// be read, is counted instead); the walk ends early where a name cannot be
// read at all.
struct KeyValue {
    std::wstring name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};
struct KeyValues {
    std::vector<KeyValue> values;
    std::uint32_t unreadable = 0; // values left out
    bool stopped = false;         // the listing broke off before its end
};
KeyValues regReadAllValues(const RegistryKey& key, std::uint32_t dataLimit);

} // namespace tidewell
