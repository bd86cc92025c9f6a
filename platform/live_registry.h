// The running system's registry, read only, as each backend gives it: keys
// are the system's own handles. The registry library above (registry/)
// serves these keys and the keys of hive files alike.
#pragma once

#include <cstdint>
#include <string>

namespace tidewell {

inline constexpr std::uint32_t registryKeyRead = 0x20019;      // KEY_READ
inline constexpr std::uint32_t registryKeyQueryValue = 0x0001; // KEY_QUERY_VALUE
inline constexpr std::uint32_t registryTypeString = 1;         // REG_SZ
inline constexpr std::uint32_t registryTypeExpandString = 2;   // REG_EXPAND_SZ
inline constexpr std::uint32_t registryTypeBinary = 3;         // REG_BINARY
inline constexpr std::uint32_t registryTypeDword = 4;          // REG_DWORD
inline constexpr std::uint32_t registryTypeQword = 11;         // REG_QWORD

enum class RegistryRoot {
    CurrentUser,  // HKEY_CURRENT_USER
    Users,        // HKEY_USERS
    LocalMachine, // HKEY_LOCAL_MACHINE
};

// A key of the live registry; predefined roots are not owned and never closed.
struct LiveKey {
    void* handle = nullptr;
    bool owned = false;
};

void liveRegistryRoot(RegistryRoot root, LiveKey& key);
std::uint32_t liveRegOpenKey(const LiveKey& parent, const std::wstring& subKey,
                             std::uint32_t access, LiveKey& key);
void liveRegCloseKey(LiveKey& key);
std::uint32_t liveRegEnumKey(const LiveKey& key, std::uint32_t index, std::uint32_t bufferChars,
                             std::wstring& name);
std::uint32_t liveRegEnumValue(const LiveKey& key, std::uint32_t index,
                               std::uint32_t nameBufferChars, std::wstring& name,
                               std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataSize);
std::uint32_t liveRegQueryValue(const LiveKey& key, const std::wstring& name, std::uint32_t& type,
                                std::uint8_t* data, std::uint32_t& dataSize);

} // namespace tidewell
