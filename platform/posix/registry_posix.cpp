// There is no live registry on this system: every predefined root is empty
// and cannot be opened below.
#include "platform/error_codes.h"
#include "platform/registry.h"

namespace tidewell {

RegistryKey::~RegistryKey() {
    regCloseKey(*this);
}

void openRegistryRoot(RegistryRoot, RegistryKey& key) {
    regCloseKey(key);
}

std::uint32_t regOpenKey(const RegistryKey&, const std::wstring&, std::uint32_t, RegistryKey& key) {
    regCloseKey(key);
    return ERROR_FILE_NOT_FOUND;
}

void regCloseKey(RegistryKey& key) {
    key.handle = nullptr;
    key.owned = false;
}

std::uint32_t regEnumKey(const RegistryKey&, std::uint32_t, std::uint32_t, std::wstring&) {
    return ERROR_INVALID_HANDLE;
}

std::uint32_t regEnumValue(const RegistryKey&, std::uint32_t, std::uint32_t, std::wstring&,
                           std::uint32_t&, std::uint8_t*, std::uint32_t&) {
    return ERROR_INVALID_HANDLE;
}

std::uint32_t regQueryValue(const RegistryKey&, const std::wstring&, std::uint32_t&, std::uint8_t*,
                            std::uint32_t&) {
    return ERROR_INVALID_HANDLE;
}

} // namespace tidewell
