// There is no live registry on this system: every predefined root is empty
// and cannot be opened below. Hive files are read all the same (the hive
// keys never reach the backend).
#include "platform/error_codes.h"
#include "platform/live_registry.h"

namespace tidewell {

void liveRegistryRoot(RegistryRoot, RegistryKey&) {}

std::uint32_t liveRegOpenKey(const RegistryKey&, const std::wstring&, std::uint32_t, RegistryKey&) {
    return ERROR_FILE_NOT_FOUND;
}

void liveRegCloseKey(RegistryKey&) {}

std::uint32_t liveRegEnumKey(const RegistryKey&, std::uint32_t, std::uint32_t, std::wstring&) {
    return ERROR_INVALID_HANDLE;
}

std::uint32_t liveRegEnumValue(const RegistryKey&, std::uint32_t, std::uint32_t, std::wstring&,
                               std::uint32_t&, std::uint8_t*, std::uint32_t&) {
    return ERROR_INVALID_HANDLE;
}

std::uint32_t liveRegQueryValue(const RegistryKey&, const std::wstring&, std::uint32_t&,
                                std::uint8_t*, std::uint32_t&) {
    return ERROR_INVALID_HANDLE;
}

} // namespace tidewell
