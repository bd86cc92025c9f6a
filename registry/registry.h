// Read-only registry access, to the live registry and to hive files alike.
// A key carries a tag saying which registry it belongs to, and every
// operation serves both with the same Windows error codes and buffer rules,
// so that a reader of keys need not know where they come from. Keys are
// owned by a small RAII structure; the predefined roots are never closed.
// This library stands above the platform (the live keys) and the hive reader
// (the keys of hive files).
#pragma once

#include <cstdint>
#include <string>

#include "platform/live_registry.h"

namespace tidewell {

struct HiveImage;

enum class RegistryKind {
    Live, // the running system's registry, through the backend
    Hive, // a hive file held in memory by the hive reader
};

struct RegistryKey {
    RegistryKind kind = RegistryKind::Live;
    LiveKey live;                    // a live key: the system's own
    const HiveImage* hive = nullptr; // a hive key: the hive, which outlives its keys,
    std::uint32_t cell = 0;          // and its key node

    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey();
};

// Makes key stand for a predefined root of the live registry.
void openRegistryRoot(RegistryRoot root, RegistryKey& key);

// Makes key stand for the root key of a hive in memory.
void openHiveRoot(const HiveImage& hive, RegistryKey& key);

std::uint32_t regOpenKey(const RegistryKey& parent, const std::wstring& subKey,
                         std::uint32_t access, RegistryKey& key);
void regCloseKey(RegistryKey& key);

// The name of subkey number index, read into a buffer of bufferChars
// characters (terminator included): ERROR_MORE_DATA when it does not fit,
// ERROR_NO_MORE_ITEMS past the last one.
std::uint32_t regEnumKey(const RegistryKey& key, std::uint32_t index, std::uint32_t bufferChars,
                         std::wstring& name);

// Value number index: its name (into a buffer of nameBufferChars characters,
// terminator included), type and data size, and, when data is not null, its
// data (dataSize gives the buffer's size on the way in).
std::uint32_t regEnumValue(const RegistryKey& key, std::uint32_t index,
                           std::uint32_t nameBufferChars, std::wstring& name, std::uint32_t& type,
                           std::uint8_t* data, std::uint32_t& dataSize);

// When a hive file's key was last written (a FILETIME). A live key's time is
// not read: ERROR_INVALID_FUNCTION.
std::uint32_t regQueryKeyLastWritten(const RegistryKey& key, std::uint64_t& lastWritten);

// A named value's type and data (dataSize in and out, as above).
std::uint32_t regQueryValue(const RegistryKey& key, const std::wstring& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& dataSize);

} // namespace tidewell
