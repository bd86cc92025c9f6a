#include "machine/machine_files.h"

#include "machine/examined_machine.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

bool kindMatches(EntryKind kind, bool isDirectory) {
    return kind == EntryKind::Any || (kind == EntryKind::Folder) == isDirectory;
}

} // namespace

FolderListing listMachineFolder(ExaminedMachine& machine, const std::wstring& folder,
                                bool withDeleted) {
    return machine.kind->listFolder(machine, folder, withDeleted);
}

bool findMachineEntry(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                      EntryKind kind, std::wstring& path) {
    return machine.kind->findEntry(machine, folder, name, kind, path);
}

bool findMachinePath(ExaminedMachine& machine, const std::wstring& base, std::wstring_view relative,
                     EntryKind kind, std::wstring& path) {
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
        if (!findMachineEntry(machine, current, part, last ? kind : EntryKind::Folder, current)) {
            return false;
        }
    }
    path = current;
    return true;
}

WholeFileRead readMachineFile(ExaminedMachine& machine, const std::wstring& path,
                              std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    return machine.kind->readFile(machine, path, limit, bytes);
}

WholeFileRead readDeletedMachineFile(ExaminedMachine& machine, const FolderEntry& entry,
                                     std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    if (machine.kind->readDeletedFile == nullptr || !entry.deleted) {
        bytes.clear();
        return WholeFileRead::Missing;
    }
    return machine.kind->readDeletedFile(machine, entry, limit, bytes);
}

bool unchangedSinceCurrent(ExaminedMachine& machine, const std::wstring& path) {
    return machine.currentState != nullptr && machine.kind->unchangedSinceCurrent != nullptr &&
           machine.kind->unchangedSinceCurrent(machine, path);
}

bool reuseUnchangedRecords(ExaminedMachine& machine, const std::wstring& path,
                           const RecordSource& source, RecordList& records) {
    if (machine.currentState == nullptr || machine.currentRecords == nullptr ||
        !unchangedSinceCurrent(machine, path)) {
        return false;
    }
    const std::wstring current = shownPath(*machine.currentState, path);
    const std::wstring older = shownPath(machine, path);
    for (const LaunchRecord& found : *machine.currentRecords) {
        if (found.source == &source && found.recordFile == current) {
            LaunchRecord record = found;
            record.recordFile = older;
            record.copies.clear();
            record.runTimeCopies.clear();
            records.push_back(std::move(record));
        }
    }
    return true;
}

std::wstring realFolderOf(ExaminedMachine& machine, const std::wstring& folder) {
    return machine.kind->realFolder(machine, folder);
}

const FolderEntry* foldedEntry(const FolderListing& listing, std::wstring_view name,
                               EntryKind kind) {
    if (name.empty()) {
        return nullptr;
    }
    const FolderEntry* folded = nullptr;
    for (const FolderEntry& entry : listing.entries) {
        if (!kindMatches(kind, entry.isDirectory) || !equalsFolded(entry.name, name)) {
            continue;
        }
        if (entry.name == name) {
            return &entry;
        }
        if (folded == nullptr) {
            folded = &entry;
        }
    }
    return folded;
}

} // namespace tidewell
