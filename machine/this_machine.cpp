// This machine: the Windows the program runs on, read as it runs. Its files
// are the host's own, its keys the live registry, its users' hives the
// running account's and every other one loaded, its volumes the mounted
// ones, and a fact it cannot read takes Windows' own default.
#include <memory>

#include "machine/examined_machine.h"
#include "machine/host_files.h"
#include "machine/machine_kinds.h"
#include "machine/profile_coverage.h"
#include "machine/user_hives.h"
#include "machine/volume_devices.h"
#include "platform/error_codes.h"
#include "platform/files.h"
#include "platform/identity.h"
#include "platform/system_info.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

constexpr std::uint32_t subkeyNameChars = 256;

struct LiveState {
    std::wstring runningSid;           // the account the program runs as
    std::uint32_t systemOpenError = 0; // why the SYSTEM key did not open
};

std::wstring accountNameForSid(const std::wstring& sid) {
    std::wstring name;
    if (sid.empty() || !lookupAccountNameForSid(sid, name)) {
        return {};
    }
    return name;
}

std::wstring liveAccountName(const ExaminedMachine& /*machine*/, const std::wstring& sid) {
    return accountNameForSid(sid);
}

// A loaded user's classes hive, HKEY_USERS\SID_Classes, opened when asked.
OpenClasses liveClasses(const RegistryKey& users, const std::wstring& sid) {
    auto key = std::make_shared<RegistryKey>();
    return [&users, sid, key](ClassesHive& outcome) -> const RegistryKey* {
        const std::uint32_t status =
            sid.empty() ? ERROR_FILE_NOT_FOUND
                        : regOpenKey(users, sid + L"_Classes", registryKeyRead, *key);
        outcome = status == ERROR_SUCCESS          ? ClassesHive::Opened
                  : status == ERROR_FILE_NOT_FOUND ? ClassesHive::Missing
                                                   : ClassesHive::Unreadable;
        return status == ERROR_SUCCESS ? key.get() : nullptr;
    };
}

UserHiveVisit visitLiveHives(ExaminedMachine& machine, ScanResults& results,
                             const std::function<void(const UserHive&)>& visit) {
    UserHiveVisit visited;
    ProfileCoverage coverage(machine.softwareOpen ? readProfileList(machine.software, Variables{})
                                                  : ProfileList{});
    const std::wstring& ownSid = kindState<LiveState>(machine).runningSid;
    RegistryKey users;
    openRegistryRoot(RegistryRoot::Users, users);
    RegistryKey currentUser;
    openRegistryRoot(RegistryRoot::CurrentUser, currentUser);
    {
        const OpenClasses openClasses = liveClasses(users, ownSid);
        visit(
            UserHive{ownSid, accountNameForSid(ownSid), &currentUser, true, nullptr, &openClasses});
    }
    ++visited.offered;
    coverage.noteHandedOut(ownSid);

    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const std::uint32_t status = regEnumKey(users, index, subkeyNameChars, name);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS) {
            visited.listingStopped = true;
            break;
        }
        if (!isProfileName(name) || endsWithFolded(name, L"_Classes") ||
            (!ownSid.empty() && equalsFolded(name, ownSid))) {
            continue; // not a profile, a classes hive, or the hive handed out above
        }
        RegistryKey hive;
        if (regOpenKey(users, name, registryKeyRead, hive) != ERROR_SUCCESS) {
            ++visited.unopenable;
            continue;
        }
        const OpenClasses openClasses = liveClasses(users, name);
        visit(UserHive{name, accountNameForSid(name), &hive, false, nullptr, &openClasses});
        ++visited.offered;
        coverage.noteHandedOut(name);
    }
    coverage.state(results);
    return visited;
}

// Paths are this machine's own: shown as the system gives them.
std::wstring liveShownPath(const ExaminedMachine& /*machine*/, const std::wstring& path) {
    return path;
}

// The Windows directory and the entry's name, appended as they are.
std::wstring liveWindowsEntry(ExaminedMachine& /*machine*/, std::wstring_view relative,
                              EntryKind /*kind*/) {
    std::wstring windows;
    if (!getWindowsDirectory(windows)) {
        return {};
    }
    return windows + L"\\" + std::wstring(relative);
}

PathNaming livePathNaming(const ExaminedMachine& /*machine*/) {
    return PathNaming{};
}

std::wstring liveSystemDrive(const ExaminedMachine& /*machine*/) {
    std::wstring windows;
    if (!getWindowsDirectory(windows) || windows.size() < 2 || windows[1] != L':') {
        return {};
    }
    return windows.substr(0, 2);
}

std::vector<DeviceDrive> liveDeviceDrives(const ExaminedMachine& /*machine*/) {
    return mountedDeviceDrives();
}

bool liveWindowsVersion(const ExaminedMachine& /*machine*/, std::uint32_t& major,
                        std::uint32_t& minor) {
    return queryWindowsVersion(major, minor);
}

// No SYSTEM key at all is no Windows registry: the source is simply not
// kept here. Any other failure is the source's own, counted.
void liveWithoutSystemKeys(const ExaminedMachine& machine, SourceReading& reading, ScanTally& tally,
                           const ScanCounter& unreadable) {
    if (kindState<LiveState>(machine).systemOpenError == ERROR_FILE_NOT_FOUND) {
        reading.presence = SourcePresence::NotPresent;
        return;
    }
    reading.presence = SourcePresence::Unreadable;
    reading.note = L"the SYSTEM keys could not be read";
    ++tally[unreadable];
}

constexpr MachineKind thisMachineKind = {
    listHostFolder,
    findHostEntry,
    readHostFile,
    nullptr,
    nullptr,
    realHostFolder,
    liveShownPath,
    liveWindowsEntry,
    visitLiveHives,
    liveAccountName,
    livePathNaming,
    liveSystemDrive,
    liveDeviceDrives,
    liveWindowsVersion,
    liveWithoutSystemKeys,
    true,
    nullptr,
    nullptr,
};

} // namespace

EvidenceCheck openThisMachine(ExaminedMachine& machine, ScanResults& results) {
    machine.kind = &thisMachineKind;
    auto state = std::make_shared<LiveState>();
    machine.scope = hostFileScope();
    queryComputerName(results.origin.hostName);
    RegistryKey localMachine;
    openRegistryRoot(RegistryRoot::LocalMachine, localMachine);
    state->systemOpenError = regOpenKey(localMachine, L"SYSTEM", registryKeyRead, machine.system);
    machine.systemOpen = state->systemOpenError == ERROR_SUCCESS;
    machine.softwareOpen =
        regOpenKey(localMachine, L"SOFTWARE", registryKeyRead, machine.software) == ERROR_SUCCESS;
    machine.controlSet = L"CurrentControlSet";
    state->runningSid = currentUserSid();
    bool elevated = false;
    results.facts.elevated = queryProcessElevation(elevated) && elevated ? 1 : 0;
    machine.state = std::move(state);
    EvidenceCheck check;
    check.readable = true;
    return check;
}

} // namespace tidewell
