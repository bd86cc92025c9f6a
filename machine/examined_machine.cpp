#include "machine/examined_machine.h"

#include "machine/machine_facts.h"
#include "machine/machine_files.h"
#include "machine/profile_list.h"
#include "platform/error_codes.h"
#include "platform/files.h"
#include "platform/system_info.h"

namespace tidewell {

namespace {

std::wstring lastPart(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void openThisMachine(ExaminedMachine& machine, ScanResults& results) {
    machine.kind = MachineKind::ThisMachine;
    machine.scope = hostFileScope();
    queryComputerName(results.origin.hostName);
    RegistryKey localMachine;
    openRegistryRoot(RegistryRoot::LocalMachine, localMachine);
    machine.systemOpen =
        regOpenKey(localMachine, L"SYSTEM", registryKeyRead, machine.system) == ERROR_SUCCESS;
    machine.softwareOpen =
        regOpenKey(localMachine, L"SOFTWARE", registryKeyRead, machine.software) == ERROR_SUCCESS;
    machine.controlSet = L"CurrentControlSet";
    machine.runningSid = currentUserSid();
    results.facts = readPrefetchSetup(machine);
}

// SYSTEM or SOFTWARE of a collected drive: read (with its logs), or counted
// as unreadable; listed in the origin either way.
void loadSystemHive(ExaminedMachine& machine, const wchar_t* name, HiveFile& hive,
                    ScanResults& results) {
    loadHiveFile(machine.scope, machine.configFolder, name, hive);
    ExaminedHive examined = describeHive(hive, name);
    if (machine.configFolder.empty()) {
        examined.why = L"the evidence has no Windows\\System32\\config folder";
    }
    results.origin.hives.push_back(std::move(examined));
    if (!hive.read) {
        ++results.tally.systemHivesUnreadable;
        return;
    }
    countHiveRecovery(hive, results.tally);
}

void openCollectedDrive(const std::wstring& root, ExaminedMachine& machine, ScanResults& results) {
    machine.kind = MachineKind::CollectedDrive;
    machine.scope = confinedFileScope(root);
    machine.drive = locateEvidenceDrive(machine.scope, root);
    results.origin.evidence = true;
    results.origin.evidenceFolder = machine.drive.found ? machine.drive.folder : root;
    machine.posixNames = namedPosixStyle(results.origin.evidenceFolder);
    if (machine.drive.found) {
        findMachinePath(machine, machine.drive.windows, L"System32\\config", EntryKind::Folder,
                        machine.configFolder);
        findMachineEntry(machine, machine.drive.windows, L"Prefetch", EntryKind::Folder,
                         machine.prefetchFolder);
    }
    machine.systemHive = std::make_unique<HiveFile>();
    machine.softwareHive = std::make_unique<HiveFile>();
    loadSystemHive(machine, L"SYSTEM", *machine.systemHive, results);
    loadSystemHive(machine, L"SOFTWARE", *machine.softwareHive, results);
    if (machine.systemHive->read) {
        openHiveRoot(machine.systemHive->image, machine.system);
        machine.systemOpen = true;
        machine.controlSet = currentControlSet(machine.system);
        results.origin.hostName = recordedComputerName(machine.system, machine.controlSet);
    }
    if (machine.softwareHive->read) {
        openHiveRoot(machine.softwareHive->image, machine.software);
        machine.softwareOpen = true;
    }
    results.facts = readPrefetchSetup(machine);
    readMachineRegistry({machine.softwareOpen ? &machine.software : nullptr,
                         machine.systemOpen ? &machine.system : nullptr, machine.controlSet,
                         lastPart(machine.drive.windows)},
                        machine.recorded);
}

} // namespace

void openExaminedMachine(const ScanTarget& target, ExaminedMachine& machine, ScanResults& results) {
    switch (target.subject) {
    case ScanSubject::EvidenceRoot:
        openCollectedDrive(target.evidenceRoot, machine, results);
        return;
    case ScanSubject::ThisMachine:
        break;
    }
    openThisMachine(machine, results);
}

void closeExaminedMachine(ExaminedMachine& machine, ScanResults& results) {
    for (const ScopeRefusal& refusal : machine.scope.refused) {
        results.origin.refused.push_back(
            {shownPath(machine, refusal.path), refusalText(refusal.why)});
    }
    for (ExaminedHive& hive : results.origin.hives) {
        hive.path = shownPath(machine, hive.path);
    }
}

std::wstring prefetchFolderOf(const ExaminedMachine& machine) {
    switch (machine.kind) {
    case MachineKind::CollectedDrive:
        return machine.prefetchFolder;
    case MachineKind::ThisMachine:
        break;
    }
    // The Windows directory and "\Prefetch", appended as they are.
    std::wstring windows;
    return getWindowsDirectory(windows) ? windows + L"\\Prefetch" : std::wstring();
}

PathNaming pathNamingOf(const ExaminedMachine& machine) {
    switch (machine.kind) {
    case MachineKind::CollectedDrive:
        return PathNaming{false, machine.recorded.systemDrive};
    case MachineKind::ThisMachine:
        break;
    }
    return PathNaming{};
}

std::wstring shownPath(const ExaminedMachine& machine, const std::wstring& path) {
    return machine.posixNames ? withSlashes(path) : path;
}

} // namespace tidewell
