#include "evidence/evidence_scan.h"

#include <memory>

#include "evidence/evidence_drive.h"
#include "evidence/evidence_hive.h"
#include "evidence/evidence_machine.h"
#include "evidence/system_volume.h"
#include "platform/files.h"
#include "platform/folded_paths.h"
#include "platform/path_join.h"
#include "platform/registry.h"
#include "platform/text_fold.h"
#include "prefetch/prefetch_environment.h"
#include "prefetch/prefetch_folder_scan.h"
#include "prefetch/prefetch_path_choice.h"
#include "userassist/userassist_reader.h"

namespace tidewell {

namespace {

// Folders under Users that hold no user's own hive worth the name: the
// template every new profile is copied from, and the shared folders.
constexpr std::wstring_view notUserFolders[] = {L"Default", L"Default User", L"Public",
                                                L"All Users"};

std::wstring lastPart(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Where a profile folder of the examined machine (such as C:\Users\alice)
// lies in the copy of its system drive; false when it is on another drive
// or not in the copy.
bool profileFolderInCopy(const std::wstring& driveFolder, const std::wstring& systemDrive,
                         const std::wstring& machineFolder, std::wstring& here) {
    if (machineFolder.size() < 3 || machineFolder[1] != L':' || machineFolder[2] != L'\\') {
        return false;
    }
    const std::wstring letter = machineFolder.substr(0, 2);
    if (!equalsFolded(letter, systemDrive.empty() ? std::wstring(L"C:") : systemDrive)) {
        return false;
    }
    return findPathFolded(driveFolder, std::wstring_view(machineFolder).substr(3),
                          EntryKind::Folder, here);
}

struct UserAssistScan {
    const EvidenceMachine& machine;
    RecordList& records;
    ScanTally& tally;
    std::uint32_t examined = 0;

    // One profile's NTUSER.DAT, with the profile folder's name standing for
    // the account's. Whatever became of it is counted.
    void readProfile(const std::wstring& folderHere, const std::wstring& sid,
                     const std::wstring& machineFolder) {
        EvidenceHive hive;
        loadEvidenceHive(folderHere, L"NTUSER.DAT", hive);
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
        const std::wstring account = lastPart(machineFolder.empty() ? folderHere : machineFolder);
        const HiveContext context{sid, account, true, &folders};
        readUserAssistKeys(root, context, records, tally);
        ++examined;
    }
};

void scanUserAssist(const EvidenceDrive& drive, const EvidenceMachine& machine, RecordList& records,
                    ScanTally& tally, ScanFacts& facts) {
    UserAssistScan scan{machine, records, tally};
    if (machine.profileListRead) {
        facts.profileCoverageKnown = 1;
        facts.profilesOnMachine = static_cast<std::uint32_t>(machine.profiles.size());
        for (const ListedProfile& profile : machine.profiles) {
            std::wstring here;
            if (!drive.found ||
                !profileFolderInCopy(drive.folder, machine.systemDrive, profile.folder, here)) {
                ++tally.hivesMissing; // listed, but its folder is not in the copy
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
        std::wstring users;
        DirectoryListing listing;
        DirectoryEntry entry;
        std::uint32_t error = 0;
        if (drive.found && findEntryFolded(drive.folder, L"Users", EntryKind::Folder, users) &&
            findFirstFile(joinPath(users, L"*"), listing, entry, error)) {
            std::vector<std::wstring> folders;
            do {
                bool shared = entry.name == L"." || entry.name == L"..";
                for (std::wstring_view name : notUserFolders) {
                    shared = shared || equalsFolded(entry.name, name);
                }
                std::wstring hive;
                const std::wstring folder = joinPath(users, entry.name);
                if (entry.isDirectory && !shared &&
                    findEntryFolded(folder, L"NTUSER.DAT", EntryKind::File, hive)) {
                    folders.push_back(folder);
                }
            } while (findNextFile(listing, entry, error));
            closeListing(listing);
            for (const std::wstring& folder : folders) {
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
void loadSystemHive(const std::wstring& config, const wchar_t* name, EvidenceHive& hive,
                    ScanTally& tally) {
    if (!config.empty()) {
        loadEvidenceHive(config, name, hive);
    }
    if (!hive.read) {
        ++tally.systemHivesUnreadable;
        return;
    }
    countHiveRecovery(hive, tally);
}

} // namespace

void scanEvidence(const std::wstring& root, RecordList& records, ScanTally& tally, ScanFacts& facts,
                  ScanOrigin& origin) {
    const EvidenceDrive drive = locateEvidenceDrive(root);
    origin.evidence = true;
    origin.evidenceFolder = drive.found ? drive.folder : root;

    std::wstring config;
    std::wstring prefetch;
    if (drive.found) {
        findPathFolded(drive.windows, L"System32\\config", EntryKind::Folder, config);
        findEntryFolded(drive.windows, L"Prefetch", EntryKind::Folder, prefetch);
    }
    // The hives' images stay put while keys of them are open.
    const auto system = std::make_unique<EvidenceHive>();
    const auto software = std::make_unique<EvidenceHive>();
    loadSystemHive(config, L"SYSTEM", *system, tally);
    loadSystemHive(config, L"SOFTWARE", *software, tally);
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
    readEvidenceMachine(software->read ? &softwareRoot : nullptr, machine);

    if (prefetch.empty()) {
        ++tally.prefetchDirUnreadable;
    } else {
        // Paths are chosen once every file is read: only all of them
        // together prove the system volume.
        const std::size_t first = records.size();
        scanPrefetchFolder(prefetch, records, tally, PathChoice::ByCaller);
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

    scanUserAssist(drive, machine, records, tally, facts);
}

} // namespace tidewell
