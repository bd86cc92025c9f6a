// The users' hives of a copy of a Windows drive: the NTUSER.DAT of every
// profile its profile list names, found in the copy where the profile's
// folder lay on the system drive, or, without a readable list, of every
// user folder that holds one.
#include <algorithm>
#include <vector>

#include "core/scan_counters.h"
#include "machine/copied_windows.h"
#include "machine/machine_files.h"
#include "machine/profile_coverage.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

// Where Windows puts its users' profiles: Users since Vista, Documents and
// Settings before.
constexpr std::wstring_view profileParents[] = {L"Users", L"Documents and Settings"};

// Folders there that hold no user's own hive worth the name: the template
// every new profile is copied from, the shared folders, and Windows XP's
// service accounts.
constexpr std::wstring_view notUserFolders[] = {L"Default",   L"Default User", L"Public",
                                                L"All Users", L"LocalService", L"NetworkService"};

// Without the machine's profile list, the folders that hold an NTUSER.DAT
// stand for its profiles. Since Vista, Documents and Settings is a junction
// to Users, which a mounted copy shows as a link: a folder reached both ways
// is one profile.
std::vector<std::wstring> userFoldersWithHives(ExaminedMachine& machine) {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> reached;
    for (std::wstring_view parentName : profileParents) {
        std::wstring parent;
        if (!findMachineEntry(machine, machine.copy.drive.folder, parentName, EntryKind::Folder,
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
    const std::wstring& systemDrive = machine.copy.recorded.systemDrive;
    const std::wstring letter = machineFolder.substr(0, 2);
    if (!equalsFolded(letter, systemDrive.empty() ? std::wstring(L"C:") : systemDrive)) {
        return false;
    }
    return findMachinePath(machine, machine.copy.drive.folder,
                           std::wstring_view(machineFolder).substr(3), EntryKind::Folder, here);
}

struct CopiedVisit {
    ExaminedMachine& machine;
    ScanResults& results;
    const std::function<void(const UserHive&)>& visit;
    ProfileCoverage coverage;
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
            ++results.tally[hivesMissing];
            outcome.why = machineFolder.empty() ? L"the profile list gives no folder for it"
                                                : L"the profile's folder is not in the evidence";
        } else {
            ++results.tally[hivesUnreadable];
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
            ++results.tally[hivesMissing];
            return;
        }
        if (!hive.read) {
            ++results.tally[hivesUnreadable];
            return;
        }
        countHiveRecovery(hive, results.tally);
        RegistryKey root;
        openHiveRoot(hive.image, root);
        const FolderTable folders = userFolderTable(machine.copy.recorded, root, machineFolder);
        // The classes hive lies in the profile's local application data,
        // read only for a source that asks for it.
        HiveFile classes;
        RegistryKey classesRoot;
        bool classesTried = false;
        const OpenClasses openClasses = [&](ClassesHive& classesOutcome) -> const RegistryKey* {
            if (!classesTried) {
                classesTried = true;
                std::wstring local;
                if (findMachinePath(machine, folderHere, L"AppData\\Local\\Microsoft\\Windows",
                                    EntryKind::Folder, local)) {
                    loadHiveFile(machine, local, L"UsrClass.dat", classes);
                }
                if (classes.read) {
                    openHiveRoot(classes.image, classesRoot);
                }
            }
            classesOutcome = !classes.found  ? ClassesHive::Missing
                             : !classes.read ? ClassesHive::Unreadable
                                             : ClassesHive::Opened;
            return classes.read ? &classesRoot : nullptr;
        };
        visit(UserHive{sid, account, &root, false, &folders, &openClasses});
        ++visited.offered;
        coverage.noteHandedOut(sid);
    }
};

} // namespace

UserHiveVisit visitCopiedUserHives(ExaminedMachine& machine, ScanResults& results,
                                   const std::function<void(const UserHive&)>& visit) {
    CopiedVisit copied{
        machine, results, visit, ProfileCoverage(machine.copy.recorded.profileList), {}};
    if (copied.coverage.list.read) {
        for (const ListedProfile& profile : copied.coverage.list.profiles) {
            std::wstring here;
            const std::size_t refusedBefore = machine.scope.refused.size();
            if (!machine.copy.drive.found || !profileFolderInCopy(machine, profile.folder, here)) {
                copied.notReached(profile.sid, profile.folder,
                                  machine.scope.refused.size() > refusedBefore
                                      ? refusalText(machine.scope.refused.back().why)
                                      : L"");
                continue;
            }
            copied.read(here, profile.sid, profile.folder);
        }
    } else if (machine.copy.drive.found) {
        for (const std::wstring& folder : userFoldersWithHives(machine)) {
            copied.read(folder, L"", L"");
        }
    }
    copied.coverage.state(results);
    return copied.visited;
}

} // namespace tidewell
