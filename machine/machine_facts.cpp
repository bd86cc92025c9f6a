#include "machine/machine_facts.h"

#include <cwchar>

#include "machine/machine_files.h"
#include "platform/error_codes.h"
#include "platform/identity.h"
#include "platform/system_info.h"
#include "registry/registry_text.h"

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

// EnablePrefetcher from the current control set.
void readPrefetcherSetting(const ExaminedMachine& machine, ScanFacts& facts) {
    RegistryKey parameters;
    if (regOpenKey(machine.system, machine.controlSet + L"\\" + prefetchParametersKey,
                   registryKeyQueryValue, parameters) != ERROR_SUCCESS) {
        return;
    }
    if (regQueryDword(parameters, L"EnablePrefetcher", facts.enablePrefetcherValue)) {
        facts.enablePrefetcherPresent = 1;
    }
}

// Bit 0 is application-launch prefetching (1 and 3 on, 0 and 2 off).
void settlePrefetchEnabled(ScanFacts& facts) {
    facts.prefetchEnabled = facts.enablePrefetcherPresent
                                ? static_cast<std::uint8_t>(facts.enablePrefetcherValue & 1)
                                : 1;
}

bool processElevated() {
    bool elevated = false;
    return queryProcessElevation(elevated) && elevated;
}

// The version a SOFTWARE key records: Windows 10 and later keep it as two
// numbers, earlier versions as "major.minor" text (which Windows 10 leaves
// at 6.3).
bool recordedWindowsVersion(const RegistryKey& software, std::uint32_t& major,
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

// Whether the control set can be opened at all: only then does a missing
// value say that the setting is absent.
bool controlSetReadable(const ExaminedMachine& machine) {
    RegistryKey control;
    return machine.systemOpen && !machine.controlSet.empty() &&
           regOpenKey(machine.system, machine.controlSet, registryKeyQueryValue, control) ==
               ERROR_SUCCESS;
}

ScanFacts thisMachinesSetup(ExaminedMachine& machine) {
    ScanFacts facts;
    facts.elevated = processElevated() ? 1 : 0;
    if (machine.systemOpen) {
        readPrefetcherSetting(machine, facts);
    }
    settlePrefetchEnabled(facts);
    const std::wstring folder = prefetchFolderOf(machine);
    facts.prefetchDirReadable = !folder.empty() && machineFolderListable(machine, folder) ? 1 : 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    facts.prefetchRetentionLimit =
        queryWindowsVersion(major, minor) ? retentionLimit(major, minor) : retentionBefore8;
    return facts;
}

ScanFacts collectedSetup(ExaminedMachine& machine) {
    ScanFacts facts;
    facts.elevationNotApplicable = 1;
    if (controlSetReadable(machine)) {
        readPrefetcherSetting(machine, facts);
        facts.enablePrefetcherValueNotApplicable = facts.enablePrefetcherPresent == 0 ? 1 : 0;
    } else {
        facts.prefetcherSettingNotKnown = 1;
    }
    if (facts.enablePrefetcherPresent != 0) {
        settlePrefetchEnabled(facts);
    } else {
        facts.prefetchEnabledNotKnown = 1; // absent: Windows' own default is no fact of it
    }
    facts.prefetchDirReadable =
        !machine.prefetchFolder.empty() && machineFolderListable(machine, machine.prefetchFolder)
            ? 1
            : 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    if (machine.softwareOpen && recordedWindowsVersion(machine.software, major, minor)) {
        facts.prefetchRetentionLimit = retentionLimit(major, minor);
    } else {
        facts.retentionLimitNotKnown = 1;
    }
    return facts;
}

} // namespace

ScanFacts readPrefetchSetup(ExaminedMachine& machine) {
    switch (machine.kind) {
    case MachineKind::CollectedDrive:
    case MachineKind::DiskImage:
    case MachineKind::Collection:
        return collectedSetup(machine);
    case MachineKind::ThisMachine:
        break;
    }
    return thisMachinesSetup(machine);
}

} // namespace tidewell
