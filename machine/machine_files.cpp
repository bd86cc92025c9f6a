#include "machine/machine_files.h"

#include "platform/error_codes.h"
#include "platform/file_place.h"
#include "platform/files.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

FolderListing listImage(ImageFileSystem& fileSystem, const std::wstring& folder, bool withDeleted) {
    FolderListing listing;
    std::vector<ImageEntry> entries;
    listing.started = listImageFolder(fileSystem, folder, entries, withDeleted);
    listing.complete = listing.started;
    for (ImageEntry& entry : entries) {
        listing.entries.push_back(
            {std::move(entry.name), entry.isDirectory, entry.deleted, entry.address});
    }
    return listing;
}

bool kindMatches(EntryKind kind, bool isDirectory) {
    return kind == EntryKind::Any || (kind == EntryKind::Folder) == isDirectory;
}

FolderListing listCollection(const ExaminedMachine& machine, const std::wstring& folder) {
    FolderListing listing;
    std::vector<CollectionEntry> entries;
    listing.started =
        listCollectionFolder(*machine.collection, machine.collectionDevice, folder, entries);
    listing.complete = listing.started;
    for (CollectionEntry& entry : entries) {
        listing.entries.push_back({std::move(entry.name), entry.isDirectory, false, 0});
    }
    return listing;
}

// The files an image or a collection holds, listed by their own reader.
bool readerListed(const ExaminedMachine& machine) {
    return machine.collection != nullptr || machine.fileSystem != nullptr;
}

FolderListing listListed(ExaminedMachine& machine, const std::wstring& folder, bool withDeleted) {
    return machine.collection != nullptr ? listCollection(machine, folder)
                                         : listImage(*machine.fileSystem, folder, withDeleted);
}

// The entry of such a folder whose name folds to name, one spelled exactly
// so preferred.
bool findListed(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                EntryKind kind, std::wstring& path) {
    const FolderListing listing = listListed(machine, folder, false);
    const FolderEntry* folded = nullptr;
    for (const FolderEntry& entry : listing.entries) {
        if (!kindMatches(kind, entry.isDirectory) || !equalsFolded(entry.name, name)) {
            continue;
        }
        if (entry.name == name) {
            folded = &entry;
            break;
        }
        if (folded == nullptr) {
            folded = &entry;
        }
    }
    if (folded == nullptr || name.empty()) {
        return false;
    }
    path = joinPath(folder, folded->name);
    return true;
}

} // namespace

FolderListing listMachineFolder(ExaminedMachine& machine, const std::wstring& folder,
                                bool withDeleted) {
    if (readerListed(machine)) {
        return listListed(machine, folder, withDeleted);
    }
    FolderListing listing;
    Refusal why = Refusal::None;
    DirectoryListing open;
    DirectoryEntry entry;
    std::uint32_t error = 0;
    if (!mayListFolder(machine.scope, folder, why) ||
        !findFirstFile(joinPath(folder, L"*"), open, entry, error)) {
        return listing;
    }
    listing.started = true;
    do {
        listing.entries.push_back({entry.name, entry.isDirectory, false, 0});
    } while (findNextFile(open, entry, error));
    listing.complete = error == ERROR_NO_MORE_FILES;
    return listing;
}

bool machineFolderListable(ExaminedMachine& machine, const std::wstring& folder) {
    if (readerListed(machine)) {
        return listListed(machine, folder, false).started;
    }
    Refusal why = Refusal::None;
    DirectoryListing open;
    DirectoryEntry first;
    std::uint32_t error = 0;
    return mayListFolder(machine.scope, folder, why) &&
           findFirstFile(joinPath(folder, L"*"), open, first, error);
}

bool findMachineEntry(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                      EntryKind kind, std::wstring& path) {
    if (readerListed(machine)) {
        return findListed(machine, folder, name, kind, path);
    }
    return findEntryFolded(machine.scope, folder, name, kind, path);
}

bool findMachinePath(ExaminedMachine& machine, const std::wstring& base, std::wstring_view relative,
                     EntryKind kind, std::wstring& path) {
    if (!readerListed(machine)) {
        return findPathFolded(machine.scope, base, relative, kind, path);
    }
    std::wstring current = base;
    std::size_t at = 0;
    while (at <= relative.size()) {
        std::size_t end = relative.find(L'\\', at);
        if (end == std::wstring_view::npos) {
            end = relative.size();
        }
        const std::wstring_view part = relative.substr(at, end - at);
        at = end + 1;
        if (part.empty()) {
            continue;
        }
        const bool last = at > relative.size();
        if (!findListed(machine, current, part, last ? kind : EntryKind::Folder, current)) {
            return false;
        }
    }
    path = current;
    return true;
}

WholeFileRead readMachineFile(ExaminedMachine& machine, const std::wstring& path,
                              std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    if (machine.collection != nullptr) {
        return readCollectionFile(*machine.collection, machine.scope, machine.collectionDevice,
                                  path, limit, bytes);
    }
    if (machine.fileSystem != nullptr) {
        return readImageFile(*machine.fileSystem, path, limit, bytes);
    }
    return readWholeFileUpTo(machine.scope, path, limit, bytes);
}

WholeFileRead readDeletedMachineFile(ExaminedMachine& machine, const FolderEntry& entry,
                                     std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    if (machine.fileSystem == nullptr || !entry.deleted) {
        bytes.clear();
        return WholeFileRead::Missing;
    }
    return readDeletedImageFile(*machine.fileSystem, entry.address, limit, bytes);
}

bool unchangedSinceCurrent(ExaminedMachine& machine, const std::wstring& path) {
    return machine.currentState != nullptr && machine.fileSystem != nullptr &&
           machine.currentState->fileSystem != nullptr &&
           sameFileInCopy(*machine.fileSystem, *machine.currentState->fileSystem, path);
}

std::wstring realFolderOf(ExaminedMachine& machine, const std::wstring& folder) {
    // An image's junctions are not followed, and a collection holds none:
    // their folders are each one place.
    return readerListed(machine) ? folder : resolvePlace(folder).realPath;
}

} // namespace tidewell
