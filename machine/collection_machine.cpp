// A Velociraptor collection's Windows drive, read from the zip in place or
// from the folder it was extracted to (only inside it), as a copy of a drive
// is read, with each shadow-copy device collected an older state of the
// same machine. The collection is opened once and shared by every state
// read from it.
#include <algorithm>
#include <memory>

#include "core/scan_counters.h"
#include "machine/collection.h"
#include "machine/copied_windows.h"
#include "machine/machine_files.h"
#include "machine/machine_kinds.h"
#include "machine/windows_drive.h"
#include "platform/decimal_text.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

struct CollectionState {
    std::shared_ptr<Collection> collection; // null: nothing of it can be read
    std::size_t device = 0;                 // the device this state reads
    std::wstring path;                      // the collection as named
    std::wstring locationPrefix;            // the collection and the device, as files are shown
};

FolderListing listCollection(ExaminedMachine& machine, const std::wstring& folder,
                             bool /*withDeleted: a collection holds none*/) {
    const CollectionState& state = kindState<CollectionState>(machine);
    FolderListing listing;
    if (state.collection == nullptr) {
        return listing;
    }
    std::vector<CollectionEntry> entries;
    listing.started = listCollectionFolder(*state.collection, state.device, folder, entries);
    listing.complete = listing.started;
    for (CollectionEntry& entry : entries) {
        listing.entries.push_back({std::move(entry.name), entry.isDirectory, false, 0});
    }
    return listing;
}

bool findInCollection(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                      EntryKind kind, std::wstring& path) {
    const FolderListing listing = listCollection(machine, folder, false);
    const FolderEntry* found = foldedEntry(listing, name, kind);
    if (found == nullptr) {
        return false;
    }
    path = joinPath(folder, found->name);
    return true;
}

WholeFileRead readFromCollection(ExaminedMachine& machine, const std::wstring& path,
                                 std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    const CollectionState& state = kindState<CollectionState>(machine);
    if (state.collection == nullptr) {
        bytes.clear();
        return WholeFileRead::Missing;
    }
    return readCollectionFile(*state.collection, machine.scope, state.device, path, limit, bytes);
}

// A collection holds no links: its folders are each one place.
std::wstring collectionRealFolder(ExaminedMachine& /*machine*/, const std::wstring& folder) {
    return folder;
}

// Where the examiner finds the file: the extracted file, or the zip and the
// member's stored name.
std::wstring collectionShownPath(const ExaminedMachine& machine, const std::wstring& path) {
    const CollectionState& state = kindState<CollectionState>(machine);
    if (state.collection != nullptr) {
        const std::wstring place = collectionFilePlace(*state.collection, state.device, path);
        if (!place.empty()) {
            return place;
        }
    }
    return state.locationPrefix + L" :: " + path;
}

bool openShadowDevice(ExaminedMachine& current, std::size_t index, ExaminedMachine& older,
                      ScanResults& results);

// Its members that could not be read, whichever state was being read, are
// counted once, when the machine as it is closes.
void closeCollection(ExaminedMachine& machine, ScanResults& results) {
    const CollectionState& state = kindState<CollectionState>(machine);
    if (machine.currentState == nullptr && state.collection != nullptr) {
        results.tally[collectionMembersUnreadable] = unreadableMembers(*state.collection);
    }
}

constexpr MachineKind collectionKind = {
    listCollection,
    findInCollection,
    readFromCollection,
    nullptr,
    nullptr,
    collectionRealFolder,
    collectionShownPath,
    copiedWindowsEntry,
    visitCopiedUserHives,
    copiedAccountName,
    copiedPathNaming,
    copiedSystemDrive,
    copiedDeviceDrives,
    copiedWindowsVersion,
    copiedWithoutSystemKeys,
    false,
    openShadowDevice,
    closeCollection,
};

// Another device of the same collection, read inside the same scope.
bool openShadowDevice(ExaminedMachine& current, std::size_t index, ExaminedMachine& older,
                      ScanResults& results) {
    const CollectionState& now = kindState<CollectionState>(current);
    if (index >= current.olderStates.size() || now.collection == nullptr) {
        return false;
    }
    const OlderState& copy = current.olderStates[index];
    auto state = std::make_shared<CollectionState>();
    state->collection = now.collection;
    state->device = copy.device;
    state->path = now.path;
    state->locationPrefix = now.path + L" :: " + copy.identifier;
    older.kind = &collectionKind;
    older.state = state;
    older.scope.confined = current.scope.confined;
    older.scope.realRoot = current.scope.realRoot;
    results.origin.evidence = true;
    results.origin.collection = true;
    results.origin.evidenceFolder = state->locationPrefix;
    readCopiedWindows(older, L"\\", results);
    return true;
}

std::wstring describeDevices(const CollectionSurvey& survey) {
    std::wstring text;
    for (const CollectionDevice& device : survey.devices) {
        text += text.empty() ? L"" : L"; ";
        if (&device - survey.devices.data() == static_cast<std::ptrdiff_t>(itemsNamedAtMost)) {
            text += moreItemsText(survey.devices.size() - itemsNamedAtMost);
            break;
        }
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
        problem = L"its drive " + asked + L" holds " + noWindowsDriveMarkersText +
                  L"; its devices: " + describeDevices(survey);
        chosen = none;
    } else if (asked.empty() && candidates == 0) {
        problem = std::wstring(L"it holds no Windows drive: no device in it (shadow copies "
                               L"aside) holds ") +
                  windowsDriveMarkersText + L"; its devices: " + describeDevices(survey);
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
    origin.evidenceFolder = path;
    CollectionOrigin& read = origin.collectionRead;
    read.path = path;
    read.zip = survey.zip;
    read.hostName = survey.hostName;
    read.collectedAt = survey.collectedAt;
    read.metadataUnreadable = survey.metadataUnreadable;
    ScanTally& tally = results.tally;
    tally[collectionNamesUndecodable] = survey.namesUndecodable;
    tally[collectionFilesNotCollected] = survey.filesNotCollected;
    tally[collectionMembersPassedOver] = survey.membersPassedOver;
    tally[collectionMetadataUnreadable] =
        static_cast<std::uint32_t>(survey.metadataUnreadable.size());
}

// Each shadow-copy device that holds Windows, newest (the highest number)
// first; the collection records no creation time.
void listOlderStates(ExaminedMachine& machine, const CollectionSurvey& survey,
                     ScanResults& results) {
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

EvidenceCheck openCollectionMachine(const ScanTarget& target, const EvidenceFileHandle& zip,
                                    ExaminedMachine& machine, ScanResults& results) {
    machine.kind = &collectionKind;
    auto state = std::make_shared<CollectionState>();
    machine.state = state;
    machine.scope = confinedFileScope(target.evidenceRoot);
    EvidenceCheck check;
    check.collection = true;
    CollectionSurvey survey;
    state->collection = std::shared_ptr<Collection>(
        openCollection(target.evidenceRoot, zip, machine.scope, survey).release(),
        CollectionClose{});
    describeCollection(survey, target.evidenceRoot, results);
    state->path = target.evidenceRoot;
    const std::size_t chosen = state->collection != nullptr
                                   ? chooseDevice(survey, target.drive, check.problem)
                                   : static_cast<std::size_t>(-1);
    if (state->collection == nullptr) {
        check.problem = survey.problem;
    }
    if (chosen >= survey.devices.size()) {
        // Nothing below is found: every source is counted unreadable.
        state->collection = nullptr;
        machine.copy.drive.problem = check.problem;
        return check;
    }
    check.readable = true;
    const CollectionDevice& device = survey.devices[chosen];
    state->device = chosen;
    const std::wstring deviceName = device.drive.empty() ? device.name : device.drive;
    state->locationPrefix = target.evidenceRoot + L" :: " + deviceName;
    results.origin.collectionRead.device = deviceName;
    results.origin.collectionRead.stored = device.stored;
    results.origin.evidenceFolder = state->locationPrefix;
    readCopiedWindows(machine, L"\\", results);
    if (target.shadowCopies) {
        listOlderStates(machine, survey, results);
    }
    return check;
}

} // namespace tidewell
