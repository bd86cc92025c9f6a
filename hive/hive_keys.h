// The registry's four read operations on the keys of a hive in memory, with
// the Windows error codes and buffer rules of the live registry, so that a
// reader of registry keys cannot tell a hive file from a loaded hive.
// Subkeys come in the order their list stores them, values in the order of
// the value list; names compare without regard to the ASCII letters' case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hive/hive_image.h"

namespace tidewell {

// The key at path (backslash-separated, empty parts ignored) below the key
// node at from: ERROR_FILE_NOT_FOUND when a part names no subkey,
// ERROR_REGISTRY_CORRUPT when a record on the way cannot be read.
std::uint32_t hiveOpenKey(const HiveImage& hive, std::uint32_t from, std::wstring_view path,
                          std::uint32_t& key);

// Subkey number index: ERROR_MORE_DATA when its name and a terminator do not
// fit in bufferChars, ERROR_NO_MORE_ITEMS past the last one.
std::uint32_t hiveEnumKey(const HiveImage& hive, std::uint32_t key, std::uint32_t index,
                          std::uint32_t bufferChars, std::wstring& name);

// Value number index: its name, type and size, and its data when data is not
// null (dataSize gives the buffer's size on the way in; ERROR_MORE_DATA
// with the size needed when it is too small).
std::uint32_t hiveEnumValue(const HiveImage& hive, std::uint32_t key, std::uint32_t index,
                            std::uint32_t nameBufferChars, std::wstring& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& dataSize);

// The value of that name (the empty name is the key's default value).
std::uint32_t hiveQueryValue(const HiveImage& hive, std::uint32_t key, std::wstring_view name,
                             std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataSize);

} // namespace tidewell
