// The examined machine's files: a folder's listing, an entry found by name
// without regard to the case of A to Z, and a whole file read up to a limit.
// This machine's files are read as they are; a collected drive's only inside
// its folder (see FileScope), and what is refused is kept to be said.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "machine/examined_machine.h"
#include "platform/files.h"
#include "platform/folded_paths.h"
#include "platform/whole_file.h"

namespace tidewell {

struct FolderListing {
    bool started = false;                // the folder could be listed at all
    bool complete = false;               // and the listing ran to its end rather than breaking off
    std::vector<DirectoryEntry> entries; // as the system lists them, "." and ".." included
};

FolderListing listMachineFolder(ExaminedMachine& machine, const std::wstring& folder);

// Whether the folder can be listed at all; only its first entry is asked for.
bool machineFolderListable(ExaminedMachine& machine, const std::wstring& folder);

bool findMachineEntry(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                      EntryKind kind, std::wstring& path);

// Part by part along a backslash-separated relative path.
bool findMachinePath(ExaminedMachine& machine, const std::wstring& base, std::wstring_view relative,
                     EntryKind kind, std::wstring& path);

WholeFileRead readMachineFile(ExaminedMachine& machine, const std::wstring& path,
                              std::uint64_t limit, std::vector<std::uint8_t>& bytes);

} // namespace tidewell
