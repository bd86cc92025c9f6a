#include "machine/host_files.h"

#include "machine/examined_machine.h"
#include "platform/error_codes.h"
#include "platform/file_place.h"
#include "platform/files.h"
#include "platform/path_join.h"

namespace tidewell {

FolderListing listHostFolder(ExaminedMachine& machine, const std::wstring& folder,
                             bool /*withDeleted: the host lists no deleted files*/) {
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

bool findHostEntry(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                   EntryKind kind, std::wstring& path) {
    return findEntryFolded(machine.scope, folder, name, kind, path);
}

WholeFileRead readHostFile(ExaminedMachine& machine, const std::wstring& path, std::uint64_t limit,
                           std::vector<std::uint8_t>& bytes) {
    return readWholeFileUpTo(machine.scope, path, limit, bytes);
}

std::wstring realHostFolder(ExaminedMachine& /*machine*/, const std::wstring& folder) {
    return resolvePlace(folder).realPath;
}

} // namespace tidewell
