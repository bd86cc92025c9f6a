#include "evidence/evidence_scan.h"

#include <algorithm>
#include <memory>

#include "evidence/evidence_drive.h"
#include "evidence/evidence_hive.h"
#include "evidence/evidence_machine.h"
#include "evidence/system_volume.h"
#include "platform/file_place.h"
#include "platform/files.h"
#include "platform/folded_paths.h"
#include "platform/path_join.h"
#include "registry/registry.h"
#include "platform/text_fold.h"
#include "prefetch/prefetch_environment.h"
#include "prefetch/prefetch_folder_scan.h"
#include "prefetch/prefetch_path_choice.h"
#include "userassist/userassist_reader.h"

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
std::vector<std::wstring> userFoldersWithHives(FileScope& scope, const std::wstring& drive) {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> reached;
    for (std::wstring_view parentName : profileParents) {
        std::wstring parent;
        DirectoryListing listing;
        DirectoryEntry entry;
        std::uint32_t error = 0;
        if (!findEntryFolded(scope, drive, parentName, EntryKind::Folder, parent) ||
            !findFirstFile(joinPath(parent, L"*"), listing, entry, error)) {
            continue;
        }
        do {
            bool shared = entry.name == L"." || entry.name == L"..";
            for (std::wstring_view name : notUserFolders) {
                shared = shared || equalsFolded(entry.name, name);
            }
            std::wstring hive;
            std::wstring folder;
            if (entry.isDirectory && !shared &&
                findEntryFolded(scope, parent, entry.name, EntryKind::Folder, folder) &&
                findEntryFolded(scope, folder, L"NTUSER.DAT", EntryKind::File, hive)) {
                const std::wstring real = resolvePlace(folder).realPath;
                if (std::find(reached.begin(), reached.end(), real) == reached.end()) {
                    reached.push_back(real);
                    folders.push_back(folder);
                }
            }
        } while (findNextFile(listing, entry, error));
    }
    return folders;
}

std::wstring lastPart(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Where a profile folder of the examined machine (such as C:\Users\alice)
// lies in the copy of its system drive; false when it is on another drive
// or not in the copy.
bool profileFolderInCopy(FileScope& scope, const std::wstring& driveFolder,
                         const std::wstring& systemDrive, const std::wstring& machineFolder,
                         std::wstring& here) {
    if (machineFolder.size() < 3 || machineFolder[1] != L':' || machineFolder[2] != L'\\') {
        return false;
    }
    const std::wstring letter = machineFolder.substr(0, 2);
    if (!equalsFolded(letter, systemDrive.empty() ? std::wstring(L"C:") : systemDrive)) {
        return false;
    }
    return findPathFolded(scope, driveFolder, std::wstring_view(machineFolder).substr(3),
                          EntryKind::Folder, here);
}

struct UserAssistScan {
    FileScope& scope;
    const EvidenceMachine& machine;
    RecordList& records;
    ScanTally& tally;
    std::vector<ExaminedHive>& hives;
    std::uint32_t examined = 0;

    // A listed profile whose folder is not in the copy, or is there but was
    // refused (why says for what).
    void profileNotReached(const std::wstring& sid, const std::wstring& machineFolder,
                           const std::wstring& why) {
        ExaminedHive outcome;
        outcome.hive = L"NTUSER.DAT";
        outcome.machinePath =
            machineFolder.empty() ? std::wstring() : joinPath(machineFolder, L"NTUSER.DAT");
        outcome.userSid = sid;
        outcome.userName = lastPart(machineFolder);
        if (why.empty()) {
            ++tally.hivesMissing;
            outcome.why = machineFolder.empty() ? L"the profile list gives no folder for it"
                                                : L"the profile's folder is not in the evidence";
        } else {
            ++tally.hivesUnreadable;
            outcome.outcome = HiveOutcome::Unreadable;
            outcome.why = L"the profile's folder is " + why;
        }
        hives.push_back(std::move(outcome));
    }

    // One profile's NTUSER.DAT, with the profile folder's name standing for
    // the account's. Whatever became of it is counted.
    void readProfile(const std::wstring& folderHere, const std::wstring& sid,
                     const std::wstring& machineFolder) {
        EvidenceHive hive;
        loadEvidenceHive(scope, folderHere, L"NTUSER.DAT", hive);
        const std::wstring account = lastPart(machineFolder.empty() ? folderHere : machineFolder);
        ExaminedHive outcome = describeHive(hive, L"NTUSER.DAT");
        outcome.machinePath =
            machineFolder.empty() ? std::wstring() : joinPath(machineFolder, L"NTUSER.DAT");
        outcome.userSid = sid;
        outcome.userName = account;
        hives.push_back(std::move(outcome));
        if (!hive.found) {
            ++tally.hivesMissing;
            return;
        }
        if (!hive.read) {
            ++tally.hivesUnreadable;
            return;
        }
        countHiveRecovery(hive, tally);
        RegistryKey root;
        openHiveRoot(hive.image, root);
        const FolderTable folders = userFolderTable(machine, root, machineFolder);
        const HiveContext context{sid, account, true, &folders};
        readUserAssistKeys(root, context, records, tally);
        ++examined;
    }
};

void scanUserAssist(FileScope& scope, const EvidenceDrive& drive, const EvidenceMachine& machine,
                    RecordList& records, ScanTally& tally, ScanFacts& facts,
                    std::vector<ExaminedHive>& hives) {
    UserAssistScan scan{scope, machine, records, tally, hives};
    if (machine.profileListRead) {
        facts.profileCoverageKnown = 1;
        facts.profilesOnMachine = static_cast<std::uint32_t>(machine.profiles.size());
        for (const ListedProfile& profile : machine.profiles) {
            std::wstring here;
            const std::size_t refusedBefore = scope.refused.size();
            if (!drive.found || !profileFolderInCopy(scope, drive.folder, machine.systemDrive,
                                                     profile.folder, here)) {
                scan.profileNotReached(profile.sid, profile.folder,
                                       scope.refused.size() > refusedBefore
                                           ? refusalText(scope.refused.back().why)
                                           : L"");
                continue;
            }
            scan.readProfile(here, profile.sid, profile.folder);
        }
        facts.profilesExamined = scan.examined;
        facts.profilesNotExamined = facts.profilesOnMachine - scan.examined;
    } else {
        // Without the list, the users' folders stand for it, and how many
        // profiles the machine had is not known.
        ++tally.profileListUnreadable;
        if (drive.found) {
            for (const std::wstring& folder : userFoldersWithHives(scope, drive.folder)) {
                scan.readProfile(folder, L"", L"");
            }
        }
        facts.profilesExamined = scan.examined;
    }
    if (scan.examined == 0) {
        ++tally.userAssistUnreadable; // not one user's UserAssist was read
    }
}

// The SYSTEM or SOFTWARE hive: read, or counted as unreadable.
void loadSystemHive(FileScope& scope, const std::wstring& config, const wchar_t* name,
                    EvidenceHive& hive, ScanTally& tally, std::vector<ExaminedHive>& hives) {
    loadEvidenceHive(scope, config, name, hive);
    ExaminedHive examined = describeHive(hive, name);
    if (config.empty()) {
        examined.why = L"the evidence has no Windows\\System32\\config folder";
    }
    hives.push_back(std::move(examined));
    if (!hive.read) {
        ++tally.systemHivesUnreadable;
        return;
    }
    countHiveRecovery(hive, tally);
}

} // namespace

void scanEvidence(const std::wstring& root, RecordList& records, ScanTally& tally, ScanFacts& facts,
                  ScanOrigin& origin) {
    FileScope scope = confinedFileScope(root);
    const EvidenceDrive drive = locateEvidenceDrive(scope, root);
    origin.evidence = true;
    origin.evidenceFolder = drive.found ? drive.folder : root;

    std::wstring config;
    std::wstring prefetch;
    if (drive.found) {
        findPathFolded(scope, drive.windows, L"System32\\config", EntryKind::Folder, config);
        findEntryFolded(scope, drive.windows, L"Prefetch", EntryKind::Folder, prefetch);
    }
    // The hives' images stay put while keys of them are open.
    const auto system = std::make_unique<EvidenceHive>();
    const auto software = std::make_unique<EvidenceHive>();
    loadSystemHive(scope, config, L"SYSTEM", *system, tally, origin.hives);
    loadSystemHive(scope, config, L"SOFTWARE", *software, tally, origin.hives);
    RegistryKey systemRoot;
    RegistryKey softwareRoot;
    if (system->read) {
        openHiveRoot(system->image, systemRoot);
    }
    if (software->read) {
        openHiveRoot(software->image, softwareRoot);
    }

    const std::wstring controlSet = system->read ? currentControlSet(systemRoot) : std::wstring();
    if (system->read) {
        origin.hostName = evidenceComputerName(systemRoot, controlSet);
    }
    facts = probeEvidencePrefetchSetup({system->read ? &systemRoot : nullptr,
                                        software->read ? &softwareRoot : nullptr, controlSet,
                                        prefetch});
    EvidenceMachine machine;
    readEvidenceMachine({software->read ? &softwareRoot : nullptr,
                         system->read ? &systemRoot : nullptr, controlSet, lastPart(drive.windows)},
                        machine);

    if (prefetch.empty()) {
        ++tally.prefetchDirUnreadable;
    } else {
        // Paths are chosen once every file is read: only all of them
        // together prove the system volume.
        const std::size_t first = records.size();
        scanPrefetchFolder(scope, prefetch, records, tally, PathChoice::ByCaller);
        const VolumeSource volumes = evidenceVolumes(records, first, machine.systemDrive);
        const bool posixStyle = namedPosixStyle(origin.evidenceFolder);
        for (std::size_t i = first; i < records.size(); ++i) {
            choosePrefetchPath(records[i], tally, volumes);
            if (posixStyle) {
                // The file as this host read it, named the way the root was.
                records[i].recordFile = withSlashes(records[i].recordFile);
            }
        }
    }

    scanUserAssist(scope, drive, machine, records, tally, facts, origin.hives);
    for (const ScopeRefusal& refusal : scope.refused) {
        origin.refused.push_back({refusal.path, refusalText(refusal.why)});
    }
    if (namedPosixStyle(origin.evidenceFolder)) {
        for (ExaminedHive& hive : origin.hives) {
            hive.path = withSlashes(hive.path);
        }
        for (RefusedEntry& refused : origin.refused) {
            refused.path = withSlashes(refused.path);
        }
    }
}

} // namespace tidewell
