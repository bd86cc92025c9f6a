#include "machine/copied_windows.h"

#include <cwchar>

#include "core/scan_counters.h"
#include "machine/machine_files.h"
#include "platform/error_codes.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "registry/registry_text.h"

namespace tidewell {

namespace {

constexpr wchar_t currentVersionKey[] = L"Microsoft\\Windows NT\\CurrentVersion";

// SYSTEM or SOFTWARE of a copy: read (with its logs), or counted as
// unreadable; listed in the origin either way.
void loadSystemHive(ExaminedMachine& machine, const wchar_t* name, HiveFile& hive,
                    ScanResults& results) {
    loadHiveFile(machine, machine.copy.configFolder, name, hive);
    ExaminedHive examined = describeHive(hive, name);
    if (machine.copy.configFolder.empty()) {
        examined.why = L"the evidence has no Windows\\System32\\config folder";
    }
    results.origin.hives.push_back(std::move(examined));
    if (!hive.read) {
        ++results.tally[systemHivesUnreadable];
        return;
    }
    countHiveRecovery(hive, results.tally);
}

} // namespace

void readCopiedWindows(ExaminedMachine& machine, const std::wstring& root, ScanResults& results) {
    CopiedWindows& copy = machine.copy;
    copy.drive = locateEvidenceDrive(machine, root);
    if (copy.drive.found) {
        findMachinePath(machine, copy.drive.windows, L"System32\\config", EntryKind::Folder,
                        copy.configFolder);
    }
    copy.systemHive = std::make_unique<HiveFile>();
    copy.softwareHive = std::make_unique<HiveFile>();
    loadSystemHive(machine, L"SYSTEM", *copy.systemHive, results);
    loadSystemHive(machine, L"SOFTWARE", *copy.softwareHive, results);
    if (copy.systemHive->read) {
        openHiveRoot(copy.systemHive->image, machine.system);
        machine.systemOpen = true;
        machine.controlSet = currentControlSet(machine.system);
        results.origin.hostName = recordedComputerName(machine.system, machine.controlSet);
    }
    if (copy.softwareHive->read) {
        openHiveRoot(copy.softwareHive->image, machine.software);
        machine.softwareOpen = true;
    }
    // The examiner's process is not the machine examined.
    results.facts.elevationNotApplicable = 1;
    readMachineRegistry({machine.softwareOpen ? &machine.software : nullptr,
                         machine.systemOpen ? &machine.system : nullptr, machine.controlSet,
                         lastPart(copy.drive.windows)},
                        copy.recorded);
    results.origin.pathVariables = copy.recorded.variables;
    results.origin.systemDrive = copy.recorded.systemDrive;
}

std::wstring copiedWindowsEntry(ExaminedMachine& machine, std::wstring_view relative,
                                EntryKind kind) {
    std::wstring path;
    if (!machine.copy.drive.found ||
        !findMachinePath(machine, machine.copy.drive.windows, relative, kind, path)) {
        return {};
    }
    return path;
}

std::wstring copiedAccountName(const ExaminedMachine& machine, const std::wstring& sid) {
    for (const ListedProfile& profile : machine.copy.recorded.profileList.profiles) {
        if (equalsFolded(profile.sid, sid)) {
            return lastPart(profile.folder);
        }
    }
    return {};
}

PathNaming copiedPathNaming(const ExaminedMachine& machine) {
    return PathNaming{false, machine.copy.recorded.systemDrive};
}

std::wstring copiedSystemDrive(const ExaminedMachine& machine) {
    return machine.copy.recorded.systemDrive;
}

std::vector<DeviceDrive> copiedDeviceDrives(const ExaminedMachine& /*machine*/) {
    return {};
}

// Windows 10 and later keep the version as two numbers, earlier versions as
// "major.minor" text (which Windows 10 leaves at 6.3).
bool copiedWindowsVersion(const ExaminedMachine& machine, std::uint32_t& major,
                          std::uint32_t& minor) {
    RegistryKey version;
    if (!machine.softwareOpen || regOpenKey(machine.software, currentVersionKey,
                                            registryKeyQueryValue, version) != ERROR_SUCCESS) {
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

void copiedWithoutSystemKeys(const ExaminedMachine& /*machine*/, SourceReading& reading,
                             ScanTally& /*tally: the hive was counted where it was opened*/,
                             const ScanCounter& /*unreadable*/) {
    reading.presence = SourcePresence::Unreadable;
    reading.note = L"the SYSTEM keys could not be read";
}

} // namespace tidewell
