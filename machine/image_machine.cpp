// A disk image's Windows volume, read through the image's own file system
// as a copy of a drive is read, with each of the volume's shadow copies an
// older state of the same machine. The image is opened once and shared by
// every state read from it.
#include <algorithm>
#include <memory>

#include "core/scan_counters.h"
#include "machine/copied_windows.h"
#include "machine/disk_image.h"
#include "machine/machine_files.h"
#include "machine/machine_kinds.h"
#include "machine/windows_drive.h"
#include "platform/decimal_text.h"
#include "platform/path_join.h"

namespace tidewell {

namespace {

struct ImageState {
    std::shared_ptr<DiskImage> image;
    ImageVolume volume;
    ImageFileSystemHandle fileSystem; // the state of the volume this machine reads
    std::wstring locationPrefix;      // the image, its volume and its state, as files are shown
};

ImageFileSystem* fileSystemOf(ExaminedMachine& machine) {
    return kindState<ImageState>(machine).fileSystem.get();
}

FolderListing listImage(ExaminedMachine& machine, const std::wstring& folder, bool withDeleted) {
    FolderListing listing;
    ImageFileSystem* fileSystem = fileSystemOf(machine);
    if (fileSystem == nullptr) {
        return listing;
    }
    std::vector<ImageEntry> entries;
    listing.started = listImageFolder(*fileSystem, folder, entries, withDeleted);
    listing.complete = listing.started;
    for (ImageEntry& entry : entries) {
        listing.entries.push_back(
            {std::move(entry.name), entry.isDirectory, entry.deleted, entry.address});
    }
    return listing;
}

bool findInImage(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                 EntryKind kind, std::wstring& path) {
    const FolderListing listing = listImage(machine, folder, false);
    const FolderEntry* found = foldedEntry(listing, name, kind);
    if (found == nullptr) {
        return false;
    }
    path = joinPath(folder, found->name);
    return true;
}

WholeFileRead readFromImage(ExaminedMachine& machine, const std::wstring& path, std::uint64_t limit,
                            std::vector<std::uint8_t>& bytes) {
    ImageFileSystem* fileSystem = fileSystemOf(machine);
    if (fileSystem == nullptr) {
        bytes.clear();
        return WholeFileRead::Missing;
    }
    return readImageFile(*fileSystem, path, limit, bytes);
}

WholeFileRead readDeletedFromImage(ExaminedMachine& machine, const FolderEntry& entry,
                                   std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    ImageFileSystem* fileSystem = fileSystemOf(machine);
    if (fileSystem == nullptr) {
        bytes.clear();
        return WholeFileRead::Missing;
    }
    return readDeletedImageFile(*fileSystem, entry.address, limit, bytes);
}

bool unchangedInImage(ExaminedMachine& machine, const std::wstring& path) {
    ImageFileSystem* copy = fileSystemOf(machine);
    ImageFileSystem* current = fileSystemOf(*machine.currentState);
    return copy != nullptr && current != nullptr && sameFileInCopy(*copy, *current, path);
}

// An image's junctions are not followed: its folders are each one place.
std::wstring imageRealFolder(ExaminedMachine& /*machine*/, const std::wstring& folder) {
    return folder;
}

std::wstring imageShownPath(const ExaminedMachine& machine, const std::wstring& path) {
    return kindState<ImageState>(machine).locationPrefix + L" :: " + path;
}

bool openImageShadowCopy(ExaminedMachine& current, std::size_t index, ExaminedMachine& older,
                         ScanResults& results);

// The image's reads that failed, whichever state of it was being read, are
// counted once, when the machine as it is closes.
void closeImage(ExaminedMachine& machine, ScanResults& results) {
    const ImageState& state = kindState<ImageState>(machine);
    if (machine.currentState == nullptr && state.image != nullptr) {
        results.tally[imageReadErrors] = failedImageReads(*state.image);
        for (const std::wstring& path : filesReadFailed(*state.image)) {
            results.origin.refused.push_back(
                {state.locationPrefix + L" :: " + path,
                 L"its data could not be read whole from the image (a damaged or missing part of "
                 L"it), so it was not read"});
        }
    }
}

constexpr MachineKind imageKind = {
    listImage,
    findInImage,
    readFromImage,
    readDeletedFromImage,
    unchangedInImage,
    imageRealFolder,
    imageShownPath,
    copiedWindowsEntry,
    visitCopiedUserHives,
    copiedAccountName,
    copiedPathNaming,
    copiedSystemDrive,
    copiedDeviceDrives,
    copiedWindowsVersion,
    copiedWithoutSystemKeys,
    false,
    openImageShadowCopy,
    closeImage,
};

bool openImageShadowCopy(ExaminedMachine& current, std::size_t index, ExaminedMachine& older,
                         ScanResults& results) {
    const ImageState& now = kindState<ImageState>(current);
    if (index >= current.olderStates.size() || now.image == nullptr) {
        return false;
    }
    const OlderState& copy = current.olderStates[index];
    auto state = std::make_shared<ImageState>();
    state->image = now.image;
    state->volume = now.volume;
    state->fileSystem = openShadowCopy(*now.image, now.volume, copy.store);
    if (state->fileSystem == nullptr) {
        return false;
    }
    state->locationPrefix = now.locationPrefix + L" :: " + copy.label;
    older.kind = &imageKind;
    older.state = state;
    results.origin.evidence = true;
    results.origin.image = true;
    results.origin.evidenceFolder = state->locationPrefix;
    readCopiedWindows(older, L"\\", results);
    return true;
}

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
        if (&volume - survey.volumes.data() == static_cast<std::ptrdiff_t>(itemsNamedAtMost)) {
            text += moreItemsText(survey.volumes.size() - itemsNamedAtMost);
            break;
        }
        text += volumeName(volume) + L" (" +
                (volume.partition == 0 ? std::wstring() : volume.description + L", ") +
                (volume.fileSystem.empty() ? std::wstring(L"no file system recognised")
                                           : volume.fileSystem) +
                (volume.shadowCatalogUnreadable
                     ? std::wstring(L", shadow copy catalog unreadable")
                     : L", " + decimalText(volume.shadowCopies) + L" shadow copies") +
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
        if (survey.format != L"raw") {
            problem = L"it is " + std::wstring(survey.format == L"E01" ? L"an " : L"a ") +
                      survey.format +
                      L" image, but neither a partition table nor a file system could be read "
                      L"in it" +
                      (survey.damage.empty() ? std::wstring() : L": " + survey.damage);
        } else {
            problem = L"it is not an image of a format this tool reads: read as a raw image, it "
                      L"holds neither a partition table nor a file system";
        }
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
        problem = std::wstring(L"none of its volumes holds ") + windowsDriveMarkersText +
                  L"; its volumes: " + describeVolumes(survey);
    } else if (partition == 0 && holdingWindows > 1) {
        problem = L"several of its volumes hold a Windows folder, so choose one with --partition "
                  L"N; its volumes: " +
                  describeVolumes(survey);
        chosen = nullptr;
    }
    return chosen;
}

// Every shadow copy of the volume as an older state, newest first, so that
// a program's newest state is met first.
void listOlderStates(ExaminedMachine& machine, ImageState& state, ScanResults& results) {
    std::wstring catalogProblem;
    std::vector<ShadowCopy> copies = listShadowCopies(*state.image, state.volume, catalogProblem);
    if (!catalogProblem.empty()) {
        ++results.tally[shadowCopiesUnreadable];
        results.origin.imageRead.shadowCatalogUnreadable = true;
    }
    if (copies.empty()) {
        return;
    }
    results.origin.copies.push_back({L"current volume", 0, L"", true});
    for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy) {
        const std::wstring label = L"shadow copy " + decimalText(copy->store);
        machine.olderStates.push_back({label, copy->created, copy->identifier, copy->store});
        results.origin.copies.push_back({label, copy->created, copy->identifier, false});
    }
}

} // namespace

EvidenceCheck openImageMachine(const ScanTarget& target, const EvidenceFileHandle& evidence,
                               ExaminedMachine& machine, ScanResults& results) {
    machine.kind = &imageKind;
    auto state = std::make_shared<ImageState>();
    machine.state = state;
    EvidenceCheck check;
    check.image = true;
    ScanOrigin& origin = results.origin;
    origin.evidence = true;
    origin.image = true;
    origin.imageRead.path = target.evidenceRoot;
    origin.evidenceFolder = target.evidenceRoot;
    if (!diskImagesReadable()) {
        check.problem = L"it is a file: disk images are read by tidewell-report on Linux; this "
                        L"build reads a folder holding a copy of a Windows drive";
        return check;
    }
    ImageSurvey survey;
    state->image =
        std::shared_ptr<DiskImage>(openDiskImage(evidence, survey).release(), DiskImageClose{});
    origin.imageRead.format = survey.format;
    origin.imageRead.partitionTable = survey.partitionTable;
    origin.imageRead.partitionTableDamage = survey.tableDamage;
    const ImageVolume* volume =
        state->image != nullptr ? chooseVolume(survey, target.partition, check.problem) : nullptr;
    if (!check.problem.empty() && !survey.tableDamage.empty()) {
        check.problem += L"; its partition table is damaged: " + survey.tableDamage;
    }
    if (state->image == nullptr) {
        check.problem = survey.problem;
    }
    if (volume != nullptr) {
        state->volume = *volume;
        state->fileSystem = openImageVolume(*state->image, state->volume);
        origin.imageRead.partition = volume->partition;
        origin.imageRead.offset = volume->offset;
        origin.imageRead.fileSystem = volume->fileSystem;
        results.tally[imageRecordsMended] = volume->recordsMended;
        state->locationPrefix =
            target.evidenceRoot +
            (volume->partition == 0 ? std::wstring() : L" :: " + volumeName(*volume));
        origin.evidenceFolder = state->locationPrefix;
    }
    // Without a volume to read, nothing below is found: every source is
    // counted unreadable as for an empty folder.
    readCopiedWindows(machine, L"\\", results);
    check.readable = volume != nullptr;
    if (state->fileSystem != nullptr && target.shadowCopies) {
        listOlderStates(machine, *state, results);
    }
    return check;
}

} // namespace tidewell
