// Text and numbers read from registry values, by their Windows types.
#pragma once

#include <cstdint>
#include <string>

#include "registry/registry.h"

namespace tidewell {

// A REG_SZ or REG_EXPAND_SZ value as text, without its terminating NULs (and
// not expanded); false for any other type or a value that cannot be read.
bool regQueryText(const RegistryKey& key, const std::wstring& name, std::wstring& text);

// A REG_DWORD value of exactly four bytes.
bool regQueryDword(const RegistryKey& key, const std::wstring& name, std::uint32_t& value);

} // namespace tidewell
