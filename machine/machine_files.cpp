#include "machine/machine_files.h"

#include "platform/error_codes.h"
#include "platform/path_join.h"

namespace tidewell {

FolderListing listMachineFolder(ExaminedMachine& machine, const std::wstring& folder) {
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
        listing.entries.push_back(entry);
    } while (findNextFile(open, entry, error));
    listing.complete = error == ERROR_NO_MORE_FILES;
    return listing;
}

bool machineFolderListable(ExaminedMachine& machine, const std::wstring& folder) {
    Refusal why = Refusal::None;
    DirectoryListing open;
    DirectoryEntry first;
    std::uint32_t error = 0;
    return mayListFolder(machine.scope, folder, why) &&
           findFirstFile(joinPath(folder, L"*"), open, first, error);
}

bool findMachineEntry(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                      EntryKind kind, std::wstring& path) {
    return findEntryFolded(machine.scope, folder, name, kind, path);
}

bool findMachinePath(ExaminedMachine& machine, const std::wstring& base, std::wstring_view relative,
                     EntryKind kind, std::wstring& path) {
    return findPathFolded(machine.scope, base, relative, kind, path);
}

WholeFileRead readMachineFile(ExaminedMachine& machine, const std::wstring& path,
                              std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    return readWholeFileUpTo(machine.scope, path, limit, bytes);
}

} // namespace tidewell
