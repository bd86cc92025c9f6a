// What each backend gives of the live registry; platform/registry.cpp sends
// the live keys here and the hive keys to the hive reader.
#pragma once

#include "platform/registry.h"

namespace tidewell {

void liveRegistryRoot(RegistryRoot root, RegistryKey& key);
std::uint32_t liveRegOpenKey(const RegistryKey& parent, const std::wstring& subKey,
                             std::uint32_t access, RegistryKey& key);
void liveRegCloseKey(RegistryKey& key);
std::uint32_t liveRegEnumKey(const RegistryKey& key, std::uint32_t index, std::uint32_t bufferChars,
                             std::wstring& name);
std::uint32_t liveRegEnumValue(const RegistryKey& key, std::uint32_t index,
                               std::uint32_t nameBufferChars, std::wstring& name,
                               std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataSize);
std::uint32_t liveRegQueryValue(const RegistryKey& key, const std::wstring& name,
                                std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataSize);

} // namespace tidewell
