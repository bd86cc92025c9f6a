#include "prefetch/prefetch_environment.h"

#include "platform/error_codes.h"
#include "platform/files.h"
#include "platform/path_join.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace tidewell {

namespace {

constexpr wchar_t prefetchParametersKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters";

// Windows 8 (6.2) raised the number of Prefetch files kept from 128 to 1024.
constexpr std::uint32_t retentionBefore8 = 128;
constexpr std::uint32_t retentionFrom8 = 1024;

void readPrefetcherSetting(ScanFacts& facts) {
    RegistryKey machine;
    openRegistryRoot(RegistryRoot::LocalMachine, machine);
    RegistryKey parameters;
    if (regOpenKey(machine, prefetchParametersKey, registryKeyQueryValue, parameters) !=
        ERROR_SUCCESS) {
        return;
    }
    std::uint8_t data[4] = {};
    std::uint32_t size = sizeof data;
    std::uint32_t type = 0;
    // A value longer than four bytes fails the read with ERROR_MORE_DATA.
    if (regQueryValue(parameters, L"EnablePrefetcher", type, data, size) == ERROR_SUCCESS &&
        type == registryTypeDword && size == sizeof data) {
        facts.enablePrefetcherPresent = 1;
        facts.enablePrefetcherValue = static_cast<std::uint32_t>(data[0]) |
                                      (static_cast<std::uint32_t>(data[1]) << 8) |
                                      (static_cast<std::uint32_t>(data[2]) << 16) |
                                      (static_cast<std::uint32_t>(data[3]) << 24);
    }
    regCloseKey(parameters);
}

bool prefetchFolderListable() {
    std::wstring windows;
    if (!getWindowsDirectory(windows)) {
        return false;
    }
    DirectoryListing listing;
    DirectoryEntry first;
    std::uint32_t error = 0;
    const bool started =
        findFirstFile(joinPath(joinPath(windows, L"Prefetch"), L"*"), listing, first, error);
    closeListing(listing);
    return started;
}

} // namespace

ScanFacts probePrefetchSetup() {
    ScanFacts facts;
    bool elevated = false;
    facts.elevated = queryProcessElevation(elevated) && elevated ? 1 : 0;

    readPrefetcherSetting(facts);
    // Bit 0 is application-launch prefetching (1 and 3 on, 0 and 2 off).
    facts.prefetchEnabled = facts.enablePrefetcherPresent
                                ? static_cast<std::uint8_t>(facts.enablePrefetcherValue & 1)
                                : 1;

    facts.prefetchDirReadable = prefetchFolderListable() ? 1 : 0;

    facts.prefetchRetentionLimit = retentionBefore8;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    if (queryWindowsVersion(major, minor) && (major > 6 || (major == 6 && minor >= 2))) {
        facts.prefetchRetentionLimit = retentionFrom8;
    }
    return facts;
}

} // namespace tidewell
