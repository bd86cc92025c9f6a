// Read-only registry access through advapi32.
#include "platform/live_registry.h"

#include <vector>

#include "platform/win32/win32_common.h"

namespace tidewell {

void liveRegistryRoot(RegistryRoot root, LiveKey& key) {
    switch (root) {
    case RegistryRoot::CurrentUser:
        key.handle = HKEY_CURRENT_USER;
        break;
    case RegistryRoot::Users:
        key.handle = HKEY_USERS;
        break;
    case RegistryRoot::LocalMachine:
        key.handle = HKEY_LOCAL_MACHINE;
        break;
    }
    key.owned = false;
}

std::uint32_t liveRegOpenKey(const LiveKey& parent, const std::wstring& subKey,
                             std::uint32_t access, LiveKey& key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(static_cast<HKEY>(parent.handle), subKey.c_str(), 0,
                                      static_cast<REGSAM>(access), &opened);
    if (status != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(status);
    }
    key.handle = opened;
    key.owned = true;
    return ERROR_SUCCESS;
}

void liveRegCloseKey(LiveKey& key) {
    if (key.handle != nullptr && key.owned) {
        RegCloseKey(static_cast<HKEY>(key.handle));
    }
    key.handle = nullptr;
    key.owned = false;
}

std::uint32_t liveRegEnumKey(const LiveKey& key, std::uint32_t index, std::uint32_t bufferChars,
                             std::wstring& name) {
    std::vector<wchar_t> buffer(bufferChars == 0 ? 1 : bufferChars, L'\0');
    DWORD length = bufferChars;
    const LONG status = RegEnumKeyExW(static_cast<HKEY>(key.handle), index, buffer.data(), &length,
                                      nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(status);
    }
    name.assign(buffer.data(), length);
    return ERROR_SUCCESS;
}

std::uint32_t liveRegEnumValue(const LiveKey& key, std::uint32_t index,
                               std::uint32_t nameBufferChars, std::wstring& name,
                               std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataSize) {
    std::vector<wchar_t> buffer(nameBufferChars == 0 ? 1 : nameBufferChars, L'\0');
    DWORD nameLength = nameBufferChars;
    DWORD valueType = 0;
    DWORD size = dataSize;
    const LONG status = RegEnumValueW(static_cast<HKEY>(key.handle), index, buffer.data(),
                                      &nameLength, nullptr, &valueType, data, &size);
    if (status != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(status);
    }
    name.assign(buffer.data(), nameLength);
    type = valueType;
    dataSize = size;
    return ERROR_SUCCESS;
}

std::uint32_t liveRegQueryValue(const LiveKey& key, const std::wstring& name, std::uint32_t& type,
                                std::uint8_t* data, std::uint32_t& dataSize) {
    DWORD valueType = 0;
    DWORD size = dataSize;
    const LONG status = RegQueryValueExW(static_cast<HKEY>(key.handle), name.c_str(), nullptr,
                                         &valueType, data, &size);
    if (status != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(status);
    }
    type = valueType;
    dataSize = size;
    return ERROR_SUCCESS;
}

} // namespace tidewell
