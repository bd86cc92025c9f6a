#include "machine/user_hives.h"

#include <algorithm>
#include <vector>

#include "machine/machine_files.h"
#include "machine/profile_list.h"
#include "platform/error_codes.h"
#include "platform/identity.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

constexpr std::uint32_t subkeyNameChars = 256;

// Where Windows puts its users' profiles: Users since Vista, Documents and
// Settings before.
constexpr std::wstring_view profileParents[] = {L"Users", L"Documents and Settings"};

// Folders there that hold no user's own hive worth the name: the template
// every new profile is copied from, the shared folders, and Windows XP's
// service accounts.
constexpr std::wstring_view notUserFolders[] = {L"Default",   L"Default User", L"Public",
                                                L"All Users", L"LocalService", L"NetworkService"};

std::wstring lastPart(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The listed profiles whose hive was handed out, each once.
struct Coverage {
    ProfileList list;
    std::vector<bool> examined;
    std::uint32_t handedOut = 0;

    void noteHandedOut(const std::wstring& sid) {
        ++handedOut;
        for (std::size_t i = 0; i < list.profiles.size(); ++i) {
            if (!sid.empty() && equalsFolded(list.profiles[i].sid, sid)) {
                examined[i] = true;
            }
        }
    }

    // Only listed profiles count, so that a hive read for an account outside
    // the list (the system account, say) cannot stand in for a listed
    // profile that was never read.
    void state(ScanResults& results) const {
        ScanFacts& facts = results.facts;
        facts.profileCoverageKnown = list.read ? 1 : 0;
        if (!list.read) {
            ++results.tally.profileListUnreadable;
            facts.profilesExamined = handedOut;
            facts.profilesNotExamined = 0;
            return;
        }
        facts.profilesOnMachine = static_cast<std::uint32_t>(list.profiles.size());
        facts.profilesExamined =
            static_cast<std::uint32_t>(std::count(examined.begin(), examined.end(), true));
        facts.profilesNotExamined = facts.profilesOnMachine - facts.profilesExamined;
    }
};

// --- this machine ---

UserHiveVisit visitLiveHives(ExaminedMachine& machine, ScanResults& results,
                             const std::function<void(const UserHive&)>& visit) {
    UserHiveVisit visited;
    Coverage coverage;
    if (machine.softwareOpen) {
        coverage.list = readProfileList(machine.software, Variables{});
    }
    coverage.examined.assign(coverage.list.profiles.size(), false);

    const std::wstring& ownSid = machine.runningSid;
    RegistryKey currentUser;
    openRegistryRoot(RegistryRoot::CurrentUser, currentUser);
    visit(UserHive{ownSid, accountNameForSid(ownSid), &currentUser, true, nullptr});
    ++visited.offered;
    coverage.noteHandedOut(ownSid);

    RegistryKey users;
    openRegistryRoot(RegistryRoot::Users, users);
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
        visit(UserHive{name, accountNameForSid(name), &hive, false, nullptr});
        ++visited.offered;
        coverage.noteHandedOut(name);
    }
    coverage.state(results);
    return visited;
}

// --- a collected drive ---

// Without the machine's profile list, the folders that hold an NTUSER.DAT
// stand for its profiles. Since Vista, Documents and Settings is a junction
// to Users, which a mounted copy shows as a link: a folder reached both ways
// is one profile.
std::vector<std::wstring> userFoldersWithHives(ExaminedMachine& machine) {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> reached;
    for (std::wstring_view parentName : profileParents) {
        std::wstring parent;
        if (!findMachineEntry(machine, machine.drive.folder, parentName, EntryKind::Folder,
                              parent)) {
            continue;
        }
        for (const FolderEntry& entry : listMachineFolder(machine, parent).entries) {
            bool shared = entry.name == L"." || entry.name == L"..";
            for (std::wstring_view name : notUserFolders) {
                shared = shared || equalsFolded(entry.name, name);
            }
            std::wstring hive;
            std::wstring folder;
            if (entry.isDirectory && !shared &&
                findMachineEntry(machine, parent, entry.name, EntryKind::Folder, folder) &&
                findMachineEntry(machine, folder, L"NTUSER.DAT", EntryKind::File, hive)) {
                const std::wstring real = realFolderOf(machine, folder);
                if (std::find(reached.begin(), reached.end(), real) == reached.end()) {
                    reached.push_back(real);
                    folders.push_back(folder);
                }
            }
        }
    }
    return folders;
}

// Where a profile folder of the examined machine (such as C:\Users\alice)
// lies in the copy of its system drive; false when it is on another drive
// or not in the copy.
bool profileFolderInCopy(ExaminedMachine& machine, const std::wstring& machineFolder,
                         std::wstring& here) {
    if (machineFolder.size() < 3 || machineFolder[1] != L':' || machineFolder[2] != L'\\') {
        return false;
    }
    const std::wstring& systemDrive = machine.recorded.systemDrive;
    const std::wstring letter = machineFolder.substr(0, 2);
    if (!equalsFolded(letter, systemDrive.empty() ? std::wstring(L"C:") : systemDrive)) {
        return false;
    }
    return findMachinePath(machine, machine.drive.folder,
                           std::wstring_view(machineFolder).substr(3), EntryKind::Folder, here);
}

struct CollectedVisit {
    ExaminedMachine& machine;
    ScanResults& results;
    const std::function<void(const UserHive&)>& visit;
    Coverage coverage;
    UserHiveVisit visited;

    // A listed profile whose folder is not in the copy, or is there but was
    // refused (why says for what).
    void notReached(const std::wstring& sid, const std::wstring& machineFolder,
                    const std::wstring& why) {
        ExaminedHive outcome;
        outcome.hive = L"NTUSER.DAT";
        outcome.machinePath =
            machineFolder.empty() ? std::wstring() : joinPath(machineFolder, L"NTUSER.DAT");
        outcome.userSid = sid;
        outcome.userName = lastPart(machineFolder);
        if (why.empty()) {
            ++results.tally.hivesMissing;
            outcome.why = machineFolder.empty() ? L"the profile list gives no folder for it"
                                                : L"the profile's folder is not in the evidence";
        } else {
            ++results.tally.hivesUnreadable;
            outcome.outcome = HiveOutcome::Unreadable;
            outcome.why = L"the profile's folder is " + why;
        }
        results.origin.hives.push_back(std::move(outcome));
    }

    // One profile's NTUSER.DAT, with the profile folder's name standing for
    // the account's. Whatever became of it is counted.
    void read(const std::wstring& folderHere, const std::wstring& sid,
              const std::wstring& machineFolder) {
        HiveFile hive;
        loadHiveFile(machine, folderHere, L"NTUSER.DAT", hive);
        const std::wstring account = lastPart(machineFolder.empty() ? folderHere : machineFolder);
        ExaminedHive outcome = describeHive(hive, L"NTUSER.DAT");
        outcome.machinePath =
            machineFolder.empty() ? std::wstring() : joinPath(machineFolder, L"NTUSER.DAT");
        outcome.userSid = sid;
        outcome.userName = account;
        results.origin.hives.push_back(std::move(outcome));
        if (!hive.found) {
            ++results.tally.hivesMissing;
            return;
        }
        if (!hive.read) {
            ++results.tally.hivesUnreadable;
            return;
        }
        countHiveRecovery(hive, results.tally);
        RegistryKey root;
        openHiveRoot(hive.image, root);
        const FolderTable folders = userFolderTable(machine.recorded, root, machineFolder);
        visit(UserHive{sid, account, &root, false, &folders});
        ++visited.offered;
        coverage.noteHandedOut(sid);
    }
};

UserHiveVisit visitCollectedHives(ExaminedMachine& machine, ScanResults& results,
                                  const std::function<void(const UserHive&)>& visit) {
    CollectedVisit collected{machine, results, visit, {}, {}};
    collected.coverage.list = machine.recorded.profileList;
    collected.coverage.examined.assign(collected.coverage.list.profiles.size(), false);
    if (collected.coverage.list.read) {
        for (const ListedProfile& profile : collected.coverage.list.profiles) {
            std::wstring here;
            const std::size_t refusedBefore = machine.scope.refused.size();
            if (!machine.drive.found || !profileFolderInCopy(machine, profile.folder, here)) {
                collected.notReached(profile.sid, profile.folder,
                                     machine.scope.refused.size() > refusedBefore
                                         ? refusalText(machine.scope.refused.back().why)
                                         : L"");
                continue;
            }
            collected.read(here, profile.sid, profile.folder);
        }
    } else if (machine.drive.found) {
        for (const std::wstring& folder : userFoldersWithHives(machine)) {
            collected.read(folder, L"", L"");
        }
    }
    collected.coverage.state(results);
    return collected.visited;
}

} // namespace

UserHiveVisit visitUserHives(ExaminedMachine& machine, ScanResults& results,
                             const std::function<void(const UserHive&)>& visit) {
    switch (machine.kind) {
    case MachineKind::CollectedDrive:
    case MachineKind::DiskImage:
    case MachineKind::Collection:
        return visitCollectedHives(machine, results, visit);
    case MachineKind::ThisMachine:
        break;
    }
    return visitLiveHives(machine, results, visit);
}

std::wstring accountNameForSid(const std::wstring& sid) {
    std::wstring name;
    if (sid.empty() || !lookupAccountNameForSid(sid, name)) {
        return {};
    }
    return name;
}

std::wstring accountNameOnMachine(const ExaminedMachine& machine, const std::wstring& sid) {
    if (machine.kind == MachineKind::ThisMachine) {
        return accountNameForSid(sid);
    }
    for (const ListedProfile& profile : machine.recorded.profileList.profiles) {
        if (equalsFolded(profile.sid, sid)) {
            return lastPart(profile.folder);
        }
    }
    return {};
}

} // namespace tidewell
