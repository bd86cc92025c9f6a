// There is no live registry on this system: every predefined root is empty
// and cannot be opened below. Hive files are read all the same (the hive
// keys never reach the backend).
#include "platform/error_codes.h"
#include "platform/live_registry.h"

namespace tidewell {

void liveRegistryRoot(RegistryRoot, LiveKey&) {}

std::uint32_t liveRegOpenKey(const LiveKey&, const std::wstring&, std::uint32_t, LiveKey&) {
    return ERROR_FILE_NOT_FOUND;
}

void liveRegCloseKey(LiveKey&) {}

std::uint32_t liveRegEnumKey(const LiveKey&, std::uint32_t, std::uint32_t, std::wstring&) {
    return ERROR_INVALID_HANDLE;
}

std::uint32_t liveRegEnumValue(const LiveKey&, std::uint32_t, std::uint32_t, std::wstring&,
                               std::uint32_t&, std::uint8_t*, std::uint32_t&) {
    return ERROR_INVALID_HANDLE;
}

std::uint32_t liveRegQueryValue(const LiveKey&, const std::wstring&, std::uint32_t&, std::uint8_t*,
                                std::uint32_t&) {
    return ERROR_INVALID_HANDLE;
}

} // namespace tidewell
