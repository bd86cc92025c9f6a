// Read-only registry access. Keys are owned by a small RAII structure; the
// predefined roots are never closed. Results are Windows error codes.
#pragma once

#include <cstdint>
#include <string>

namespace tidewell {

inline constexpr std::uint32_t registryKeyRead = 0x20019;      // KEY_READ
inline constexpr std::uint32_t registryKeyQueryValue = 0x0001; // KEY_QUERY_VALUE
inline constexpr std::uint32_t registryTypeString = 1;         // REG_SZ
inline constexpr std::uint32_t registryTypeBinary = 3;         // REG_BINARY
inline constexpr std::uint32_t registryTypeDword = 4;          // REG_DWORD

enum class RegistryRoot {
    CurrentUser,  // HKEY_CURRENT_USER
    Users,        // HKEY_USERS
    LocalMachine, // HKEY_LOCAL_MACHINE
};

struct RegistryKey {
    void* handle = nullptr;
    bool owned = false; // predefined roots are not closed

    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey();
};

// Makes key stand for a predefined root.
void openRegistryRoot(RegistryRoot root, RegistryKey& key);

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

// A named value's type and data (dataSize in and out, as above).
std::uint32_t regQueryValue(const RegistryKey& key, const std::wstring& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& dataSize);

} // namespace tidewell
