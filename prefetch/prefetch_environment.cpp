#include "prefetch/prefetch_environment.h"

#include <cwchar>

#include "platform/error_codes.h"
#include "platform/files.h"
#include "platform/path_join.h"
#include "registry/registry_text.h"
#include "platform/system_info.h"

namespace tidewell {

namespace {

constexpr wchar_t prefetchParametersKey[] =
    L"Control\\Session Manager\\Memory Management\\PrefetchParameters";
constexpr wchar_t currentVersionKey[] = L"Microsoft\\Windows NT\\CurrentVersion";

// Windows 8 (6.2) raised the number of Prefetch files kept from 128 to 1024.
constexpr std::uint32_t retentionBefore8 = 128;
constexpr std::uint32_t retentionFrom8 = 1024;

std::uint32_t retentionLimit(std::uint32_t major, std::uint32_t minor) {
    return major > 6 || (major == 6 && minor >= 2) ? retentionFrom8 : retentionBefore8;
}

// EnablePrefetcher from a control set (CurrentControlSet, or ControlSet00n
// of a hive file) below root.
void readPrefetcherSetting(const RegistryKey& root, const std::wstring& controlSet,
                           ScanFacts& facts) {
    RegistryKey parameters;
    if (regOpenKey(root, controlSet + L"\\" + prefetchParametersKey, registryKeyQueryValue,
                   parameters) != ERROR_SUCCESS) {
        return;
    }
    if (regQueryDword(parameters, L"EnablePrefetcher", facts.enablePrefetcherValue)) {
        facts.enablePrefetcherPresent = 1;
    }
}

// Whether a hive's control set can be opened at all: only then does a
// missing value say that the setting is absent.
bool controlSetReadable(const RegistryKey& root, const std::wstring& controlSet) {
    RegistryKey control;
    return !controlSet.empty() &&
           regOpenKey(root, controlSet, registryKeyQueryValue, control) == ERROR_SUCCESS;
}

// Bit 0 is application-launch prefetching (1 and 3 on, 0 and 2 off).
void settlePrefetchEnabled(ScanFacts& facts) {
    facts.prefetchEnabled = facts.enablePrefetcherPresent
                                ? static_cast<std::uint8_t>(facts.enablePrefetcherValue & 1)
                                : 1;
}

bool folderListable(const std::wstring& folder) {
    DirectoryListing listing;
    DirectoryEntry first;
    std::uint32_t error = 0;
    const bool started = findFirstFile(joinPath(folder, L"*"), listing, first, error);
    closeListing(listing);
    return started;
}

bool processElevated() {
    bool elevated = false;
    return queryProcessElevation(elevated) && elevated;
}

// The version a SOFTWARE hive records: Windows 10 and later keep it as two
// numbers, earlier versions as "major.minor" text (which Windows 10 leaves
// at 6.3).
bool evidenceWindowsVersion(const RegistryKey& software, std::uint32_t& major,
                            std::uint32_t& minor) {
    RegistryKey version;
    if (regOpenKey(software, currentVersionKey, registryKeyQueryValue, version) != ERROR_SUCCESS) {
        return false;
    }
    if (regQueryDword(version, L"CurrentMajorVersionNumber", major) &&
        regQueryDword(version, L"CurrentMinorVersionNumber", minor)) {
        return true;
    }
    std::wstring text;
    if (!regQueryText(version, L"CurrentVersion", text)) {
        return false;
    }
    unsigned long readMajor = 0;
    unsigned long readMinor = 0;
    if (std::swscanf(text.c_str(), L"%lu.%lu", &readMajor, &readMinor) != 2) {
        return false;
    }
    major = static_cast<std::uint32_t>(readMajor);
    minor = static_cast<std::uint32_t>(readMinor);
    return true;
}

} // namespace

ScanFacts probePrefetchSetup() {
    ScanFacts facts;
    facts.elevated = processElevated() ? 1 : 0;

    RegistryKey machine;
    openRegistryRoot(RegistryRoot::LocalMachine, machine);
    readPrefetcherSetting(machine, L"SYSTEM\\CurrentControlSet", facts);
    settlePrefetchEnabled(facts);

    std::wstring windows;
    facts.prefetchDirReadable =
        getWindowsDirectory(windows) && folderListable(joinPath(windows, L"Prefetch")) ? 1 : 0;

    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    facts.prefetchRetentionLimit =
        queryWindowsVersion(major, minor) ? retentionLimit(major, minor) : retentionBefore8;
    return facts;
}

ScanFacts probeEvidencePrefetchSetup(const EvidencePrefetchSetup& evidence) {
    ScanFacts facts;
    facts.elevationNotApplicable = 1;

    if (evidence.system != nullptr && controlSetReadable(*evidence.system, evidence.controlSet)) {
        readPrefetcherSetting(*evidence.system, evidence.controlSet, facts);
    } else {
        facts.prefetcherSettingNotKnown = 1;
    }
    if (facts.enablePrefetcherPresent != 0) {
        settlePrefetchEnabled(facts);
    } else {
        facts.prefetchEnabledNotKnown = 1; // absent: Windows' own default is no fact of it
    }

    facts.prefetchDirReadable =
        !evidence.prefetchFolder.empty() && folderListable(evidence.prefetchFolder) ? 1 : 0;

    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    if (evidence.software != nullptr && evidenceWindowsVersion(*evidence.software, major, minor)) {
        facts.prefetchRetentionLimit = retentionLimit(major, minor);
    } else {
        facts.retentionLimitNotKnown = 1;
    }
    return facts;
}

} // namespace tidewell
