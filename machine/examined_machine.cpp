#include "machine/examined_machine.h"

#include <algorithm>

#include "machine/machine_facts.h"
#include "machine/machine_files.h"
#include "machine/profile_list.h"
#include "platform/decimal_text.h"
#include "platform/error_codes.h"
#include "platform/file_place.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

std::wstring lastPart(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool namesAFile(const std::wstring& path) {
    return resolvePlace(path).type == PlaceType::File;
}

void openThisMachine(ExaminedMachine& machine, ScanResults& results) {
    machine.kind = MachineKind::ThisMachine;
    machine.scope = hostFileScope();
    queryComputerName(results.origin.hostName);
    RegistryKey localMachine;
    openRegistryRoot(RegistryRoot::LocalMachine, localMachine);
    machine.systemOpenError = regOpenKey(localMachine, L"SYSTEM", registryKeyRead, machine.system);
    machine.systemOpen = machine.systemOpenError == ERROR_SUCCESS;
    machine.softwareOpen =
        regOpenKey(localMachine, L"SOFTWARE", registryKeyRead, machine.software) == ERROR_SUCCESS;
    machine.controlSet = L"CurrentControlSet";
    machine.runningSid = currentUserSid();
    results.facts = readPrefetchSetup(machine);
}

// SYSTEM or SOFTWARE of a copy: read (with its logs), or counted as
// unreadable; listed in the origin either way.
void loadSystemHive(ExaminedMachine& machine, const wchar_t* name, HiveFile& hive,
                    ScanResults& results) {
    loadHiveFile(machine, machine.configFolder, name, hive);
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

// A copy of a Windows drive below root, however the machine's files are
// read: its Windows folder, its system hives, its facts and its registry's
// account of itself.
void readCopiedDrive(ExaminedMachine& machine, const std::wstring& root, ScanResults& results) {
    machine.drive = locateEvidenceDrive(machine, root);
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

void openCollectedDrive(const std::wstring& root, ExaminedMachine& machine, ScanResults& results) {
    machine.kind = MachineKind::CollectedDrive;
    machine.scope = confinedFileScope(root);
    results.origin.evidence = true;
    readCopiedDrive(machine, root, results);
    results.origin.evidenceFolder = machine.drive.found ? machine.drive.folder : root;
    machine.posixNames = namedPosixStyle(results.origin.evidenceFolder);
}

// --- disk images ---

std::wstring volumeName(const ImageVolume& volume) {
    return volume.partition == 0 ? std::wstring(L"the whole image")
                                 : L"partition " + decimalText(volume.partition);
}

// Each volume, its file system and its shadow copies, for the one who must
// choose among them or learn why none will do.
std::wstring describeVolumes(const ImageSurvey& survey) {
    std::wstring text;
    for (const ImageVolume& volume : survey.volumes) {
        text += text.empty() ? L"" : L"; ";
        text += volumeName(volume) + L" (" +
                (volume.partition == 0 ? std::wstring() : volume.description + L", ") +
                (volume.fileSystem.empty() ? std::wstring(L"no file system recognised")
                                           : volume.fileSystem) +
                L", " + decimalText(volume.shadowCopies) + L" shadow copies" +
                (volume.holdsWindows ? L", holds Windows" : L"") + L")";
    }
    return text.empty() ? std::wstring(L"no volume at all") : text;
}

// The volume to read: the one asked for, or the one that holds Windows.
const ImageVolume* chooseVolume(const ImageSurvey& survey, std::uint32_t partition,
                                std::wstring& problem) {
    // Any file reads as a raw image: one with neither a partition table nor
    // a file system is no image at all.
    const bool anyFileSystem =
        std::any_of(survey.volumes.begin(), survey.volumes.end(),
                    [](const ImageVolume& volume) { return !volume.fileSystem.empty(); });
    if (survey.partitionTable.empty() && !anyFileSystem) {
        problem = L"it is not an image of a format this tool reads: read as a raw image, it holds "
                  L"neither a partition table nor a file system";
        return nullptr;
    }
    const ImageVolume* chosen = nullptr;
    std::uint32_t holdingWindows = 0;
    for (const ImageVolume& volume : survey.volumes) {
        if (partition != 0 ? volume.partition == partition : volume.holdsWindows) {
            chosen = chosen == nullptr ? &volume : chosen;
            ++holdingWindows;
        }
    }
    if (partition != 0 && chosen == nullptr) {
        problem = L"it has no partition " + decimalText(partition) + L"; its volumes: " +
                  describeVolumes(survey);
    } else if (partition != 0 && chosen->fileSystem != L"NTFS") {
        problem = volumeName(*chosen) + L" holds no NTFS file system; its volumes: " +
                  describeVolumes(survey);
        chosen = nullptr;
    } else if (partition == 0 && holdingWindows == 0) {
        problem = L"none of its volumes holds Windows\\System32\\config or Windows\\Prefetch; its "
                  L"volumes: " +
                  describeVolumes(survey);
    } else if (partition == 0 && holdingWindows > 1) {
        problem = L"several of its volumes hold a Windows folder, so choose one with --partition "
                  L"N; its volumes: " +
                  describeVolumes(survey);
        chosen = nullptr;
    }
    return chosen;
}

void openImage(const ScanTarget& target, ExaminedMachine& machine, ScanResults& results) {
    machine.kind = MachineKind::DiskImage;
    ImageSurvey survey;
    machine.ownedImage = openDiskImage(target.evidenceRoot, survey);
    machine.image = machine.ownedImage.get();
    ScanOrigin& origin = results.origin;
    origin.evidence = true;
    origin.image = true;
    origin.imageRead.path = target.evidenceRoot;
    origin.imageRead.format = survey.format;
    origin.imageRead.partitionTable = survey.partitionTable;
    origin.evidenceFolder = target.evidenceRoot;
    std::wstring problem;
    const ImageVolume* volume =
        machine.image != nullptr ? chooseVolume(survey, target.partition, problem) : nullptr;
    if (volume != nullptr) {
        machine.volume = *volume;
        machine.fileSystem = openImageVolume(*machine.image, machine.volume);
        origin.imageRead.partition = volume->partition;
        origin.imageRead.offset = volume->offset;
        origin.imageRead.fileSystem = volume->fileSystem;
        machine.locationPrefix =
            target.evidenceRoot +
            (volume->partition == 0 ? std::wstring() : L" :: " + volumeName(*volume));
        origin.evidenceFolder = machine.locationPrefix;
    }
    // Without a volume to read, nothing below is found: every source is
    // counted unreadable as for an empty folder.
    readCopiedDrive(machine, L"\\", results);
    if (machine.fileSystem == nullptr || !target.shadowCopies) {
        return;
    }
    std::wstring catalogProblem;
    std::vector<ShadowCopy> copies =
        listShadowCopies(*machine.image, machine.volume, catalogProblem);
    if (!catalogProblem.empty()) {
        ++results.tally.shadowCopiesUnreadable;
    }
    if (copies.empty()) {
        return;
    }
    origin.copies.push_back({L"current volume", 0, L"", true});
    // Newest first, so that a program's newest state is met first.
    for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy) {
        const std::wstring label = L"shadow copy " + decimalText(copy->store);
        machine.olderStates.push_back({label, copy->created, copy->identifier, copy->store});
        origin.copies.push_back({label, copy->created, copy->identifier, false});
    }
}

// --- Velociraptor collections ---

std::wstring describeDevices(const CollectionSurvey& survey) {
    std::wstring text;
    for (const CollectionDevice& device : survey.devices) {
        text += text.empty() ? L"" : L"; ";
        text += device.name + L" (" + device.stored + L", " + decimalText(device.files) +
                (device.files == 1 ? L" file" : L" files") +
                (device.shadowCopy != 0 ? L", a shadow copy" : L"") +
                (device.holdsWindows ? L", holds Windows" : L"") + L")";
    }
    return text.empty() ? std::wstring(L"no device at all") : text;
}

bool deviceAsked(const CollectionDevice& device, const std::wstring& asked) {
    const std::wstring drive = asked.size() == 1 ? asked + L":" : asked;
    return equalsFolded(device.name, asked) ||
           (!device.drive.empty() && equalsFolded(device.drive, drive));
}

// The drive to read: the one asked for, or the one (shadow copies aside)
// that holds Windows.
std::size_t chooseDevice(const CollectionSurvey& survey, const std::wstring& asked,
                         std::wstring& problem) {
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::size_t chosen = none;
    std::size_t candidates = 0;
    for (std::size_t index = 0; index < survey.devices.size(); ++index) {
        const CollectionDevice& device = survey.devices[index];
        const bool fits = asked.empty() ? device.holdsWindows && device.shadowCopy == 0
                                        : deviceAsked(device, asked);
        if (fits) {
            chosen = chosen == none ? index : chosen;
            ++candidates;
        }
    }
    if (!asked.empty() && chosen == none) {
        problem = L"it holds no drive " + asked + L"; its devices: " + describeDevices(survey);
    } else if (!asked.empty() && !survey.devices[chosen].holdsWindows) {
        problem = L"its drive " + asked +
                  L" holds neither Windows\\System32\\config nor "
                  L"Windows\\Prefetch; its devices: " +
                  describeDevices(survey);
        chosen = none;
    } else if (asked.empty() && candidates == 0) {
        problem = L"it holds no Windows drive: no device in it (shadow copies aside) holds "
                  L"Windows\\System32\\config or Windows\\Prefetch; its devices: " +
                  describeDevices(survey);
    } else if (asked.empty() && candidates > 1) {
        problem = L"several of its drives hold Windows, so choose one with --drive (such as "
                  L"--drive C:); its devices: " +
                  describeDevices(survey);
        chosen = none;
    }
    return chosen;
}

void describeCollection(const CollectionSurvey& survey, const std::wstring& path,
                        ScanResults& results) {
    ScanOrigin& origin = results.origin;
    origin.evidence = true;
    origin.collection = true;
    CollectionOrigin& read = origin.collectionRead;
    read.path = path;
    read.zip = survey.zip;
    read.hostName = survey.hostName;
    read.collectedAt = survey.collectedAt;
    read.metadataUnreadable = survey.metadataUnreadable;
    ScanTally& tally = results.tally;
    tally.collectionNamesUndecodable = survey.namesUndecodable;
    tally.collectionFilesNotCollected = survey.filesNotCollected;
    tally.collectionMetadataUnreadable =
        static_cast<std::uint32_t>(survey.metadataUnreadable.size());
}

void openCollectionMachine(const ScanTarget& target, ExaminedMachine& machine,
                           ScanResults& results) {
    machine.kind = MachineKind::Collection;
    machine.scope = confinedFileScope(target.evidenceRoot);
    CollectionSurvey survey;
    machine.ownedCollection = openCollection(target.evidenceRoot, machine.scope, survey);
    machine.collection = machine.ownedCollection.get();
    describeCollection(survey, target.evidenceRoot, results);
    results.origin.evidenceFolder = target.evidenceRoot;
    std::wstring problem;
    const std::size_t chosen = machine.collection != nullptr
                                   ? chooseDevice(survey, target.drive, problem)
                                   : static_cast<std::size_t>(-1);
    if (chosen >= survey.devices.size()) {
        // Nothing below is found: every source is counted unreadable.
        machine.collection = nullptr;
        machine.drive.problem = problem;
        return;
    }
    const CollectionDevice& device = survey.devices[chosen];
    machine.collectionDevice = chosen;
    machine.collectionPath = target.evidenceRoot;
    const std::wstring deviceName = device.drive.empty() ? device.name : device.drive;
    machine.locationPrefix = target.evidenceRoot + L" :: " + deviceName;
    results.origin.collectionRead.device = deviceName;
    results.origin.collectionRead.stored = device.stored;
    results.origin.evidenceFolder = machine.locationPrefix;
    readCopiedDrive(machine, L"\\", results);
    if (!target.shadowCopies) {
        return;
    }
    // Each shadow-copy device that holds Windows, newest (the highest
    // number) first; the collection records no creation time.
    std::vector<std::size_t> copies;
    for (std::size_t index = 0; index < survey.devices.size(); ++index) {
        if (survey.devices[index].shadowCopy != 0 && survey.devices[index].holdsWindows) {
            copies.push_back(index);
        }
    }
    std::sort(copies.begin(), copies.end(), [&survey](std::size_t a, std::size_t b) {
        return survey.devices[a].shadowCopy > survey.devices[b].shadowCopy;
    });
    if (copies.empty()) {
        return;
    }
    results.origin.copies.push_back({L"current volume", 0, L"", true});
    for (const std::size_t index : copies) {
        const CollectionDevice& copy = survey.devices[index];
        const std::wstring label = L"shadow copy " + decimalText(copy.shadowCopy);
        OlderState state{label, 0, copy.name, copy.shadowCopy};
        state.device = index;
        machine.olderStates.push_back(state);
        results.origin.copies.push_back({label, 0, copy.name, false});
    }
}

} // namespace

EvidenceCheck checkEvidence(const ScanTarget& target) {
    EvidenceCheck check;
    if (target.subject == ScanSubject::ThisMachine) {
        check.readable = true;
        return check;
    }
    const std::wstring& root = target.evidenceRoot;
    check.collection = looksLikeCollection(root);
    if (check.collection) {
        FileScope scope = confinedFileScope(root);
        CollectionSurvey survey;
        const CollectionHandle collection = openCollection(root, scope, survey);
        if (collection == nullptr) {
            check.problem = survey.problem;
            return check;
        }
        check.readable = chooseDevice(survey, target.drive, check.problem) < survey.devices.size();
        return check;
    }
    check.image = namesAFile(root);
    if (check.image) {
        if (!diskImagesReadable()) {
            check.problem = L"it is a file: disk images are read by tidewell-report on Linux; "
                            L"this build reads a folder holding a copy of a Windows drive";
            return check;
        }
        ImageSurvey survey;
        const DiskImageHandle image = openDiskImage(root, survey);
        if (image == nullptr) {
            check.problem = survey.problem;
            return check;
        }
        check.readable = chooseVolume(survey, target.partition, check.problem) != nullptr;
        return check;
    }
    ExaminedMachine machine;
    machine.scope = confinedFileScope(root);
    const EvidenceDrive drive = locateEvidenceDrive(machine, root);
    check.readable = drive.found;
    check.problem = drive.problem;
    return check;
}

void openExaminedMachine(const ScanTarget& target, ExaminedMachine& machine, ScanResults& results) {
    switch (target.subject) {
    case ScanSubject::EvidenceRoot:
        if (looksLikeCollection(target.evidenceRoot)) {
            openCollectionMachine(target, machine, results);
        } else if (namesAFile(target.evidenceRoot)) {
            openImage(target, machine, results);
        } else {
            openCollectedDrive(target.evidenceRoot, machine, results);
        }
        return;
    case ScanSubject::ThisMachine:
        break;
    }
    openThisMachine(machine, results);
}

bool openOlderState(ExaminedMachine& current, std::size_t index, ExaminedMachine& older,
                    ScanResults& results) {
    if (index >= current.olderStates.size()) {
        return false;
    }
    const OlderState& state = current.olderStates[index];
    older.kind = current.kind;
    older.currentState = &current;
    if (current.collection != nullptr) {
        // Another device of the same collection, read inside the same scope.
        older.scope.confined = current.scope.confined;
        older.scope.realRoot = current.scope.realRoot;
        older.collection = current.collection;
        older.collectionDevice = state.device;
        older.collectionPath = current.collectionPath;
        older.locationPrefix = current.collectionPath + L" :: " + state.identifier;
        results.origin.collection = true;
    } else {
        if (current.image == nullptr) {
            return false;
        }
        older.image = current.image;
        older.volume = current.volume;
        older.fileSystem = openShadowCopy(*current.image, current.volume, state.store);
        if (older.fileSystem == nullptr) {
            return false;
        }
        older.locationPrefix = current.locationPrefix + L" :: " + state.label;
        results.origin.image = true;
    }
    results.origin.evidence = true;
    results.origin.evidenceFolder = older.locationPrefix;
    readCopiedDrive(older, L"\\", results);
    return true;
}

void closeExaminedMachine(ExaminedMachine& machine, ScanResults& results) {
    // The image's reads that failed, whichever state of it was being read.
    if (machine.ownedImage != nullptr) {
        results.tally.imageReadErrors = imageReadErrors(*machine.ownedImage);
    }
    if (machine.ownedCollection != nullptr) {
        results.tally.collectionMembersUnreadable =
            collectionMembersUnreadable(*machine.ownedCollection);
    }
    for (const ScopeRefusal& refusal : machine.scope.refused) {
        results.origin.refused.push_back(
            {shownPath(machine, refusal.path), refusalText(refusal.why)});
    }
    for (ExaminedHive& hive : results.origin.hives) {
        if (!hive.path.empty()) {
            hive.path = shownPath(machine, hive.path);
        }
    }
}

std::wstring prefetchFolderOf(const ExaminedMachine& machine) {
    switch (machine.kind) {
    case MachineKind::CollectedDrive:
    case MachineKind::DiskImage:
    case MachineKind::Collection:
        return machine.prefetchFolder;
    case MachineKind::ThisMachine:
        break;
    }
    // The Windows directory and "\Prefetch", appended as they are.
    std::wstring windows;
    return getWindowsDirectory(windows) ? windows + L"\\Prefetch" : std::wstring();
}

void sayWithoutSystemKeys(const ExaminedMachine& machine, SourceReading& reading,
                          std::uint32_t& liveUnreadable) {
    const bool thisMachine = machine.kind == MachineKind::ThisMachine;
    if (thisMachine && machine.systemOpenError == ERROR_FILE_NOT_FOUND) {
        reading.presence = SourcePresence::NotPresent;
        return;
    }
    reading.presence = SourcePresence::Unreadable;
    reading.note = L"the SYSTEM keys could not be read";
    if (thisMachine) {
        ++liveUnreadable;
    }
}

std::wstring systemDriveOf(const ExaminedMachine& machine) {
    if (machine.kind != MachineKind::ThisMachine) {
        return machine.recorded.systemDrive;
    }
    std::wstring windows;
    if (!getWindowsDirectory(windows) || windows.size() < 2 || windows[1] != L':') {
        return {};
    }
    return windows.substr(0, 2);
}

PathNaming pathNamingOf(const ExaminedMachine& machine) {
    switch (machine.kind) {
    case MachineKind::CollectedDrive:
    case MachineKind::DiskImage:
    case MachineKind::Collection:
        return PathNaming{false, machine.recorded.systemDrive};
    case MachineKind::ThisMachine:
        break;
    }
    return PathNaming{};
}

std::wstring shownPath(const ExaminedMachine& machine, const std::wstring& path) {
    if (machine.collection != nullptr) {
        // Where the examiner finds the file: the extracted file, or the zip
        // and the member's stored name.
        const std::wstring place =
            collectionFilePlace(*machine.collection, machine.collectionDevice, path);
        if (!place.empty()) {
            return place;
        }
    }
    if (machine.kind == MachineKind::DiskImage || machine.kind == MachineKind::Collection) {
        return machine.locationPrefix + L" :: " + path;
    }
    return machine.posixNames ? withSlashes(path) : path;
}

} // namespace tidewell
