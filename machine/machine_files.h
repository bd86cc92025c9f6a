// The examined machine's files: a folder's listing, an entry found by name
// without regard to the case of A to Z, and a whole file read up to a limit.
// This machine's files are read as they are; a folder's copy of a drive only
// inside the folder (see FileScope), and what is refused is kept to be said;
// an image's through its file system, a collection's as it stores them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/launch_record.h"
#include "platform/folded_paths.h"
#include "platform/whole_file.h"

namespace tidewell {

struct ExaminedMachine;

struct FolderEntry {
    std::wstring name;
    bool isDirectory = false;
    bool deleted = false;      // an image's file that is no longer allocated
    std::uint64_t address = 0; // its file record, to read it by
};

struct FolderListing {
    bool started = false;             // the folder could be listed at all
    bool complete = false;            // and the listing ran to its end rather than breaking off
    std::vector<FolderEntry> entries; // as the system lists them ("." and ".." may be there)
};

// Deleted entries are listed only when asked for, and only where the
// machine's files still know them (an image's file table).
FolderListing listMachineFolder(ExaminedMachine& machine, const std::wstring& folder,
                                bool withDeleted = false);

bool findMachineEntry(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                      EntryKind kind, std::wstring& path);

// Part by part along a backslash-separated relative path.
bool findMachinePath(ExaminedMachine& machine, const std::wstring& base, std::wstring_view relative,
                     EntryKind kind, std::wstring& path);

WholeFileRead readMachineFile(ExaminedMachine& machine, const std::wstring& path,
                              std::uint64_t limit, std::vector<std::uint8_t>& bytes);

// A deleted file of the listing, as much of it as is still there.
WholeFileRead readDeletedMachineFile(ExaminedMachine& machine, const FolderEntry& entry,
                                     std::uint64_t limit, std::vector<std::uint8_t>& bytes);

// An older state's file that is, byte for byte, the file at the same path
// in the current state (an image's shadow copy that holds it unchanged).
bool unchangedSinceCurrent(ExaminedMachine& machine, const std::wstring& path);

// Where an older state holds a file unchanged, the records the current
// state read from it (of the source) are appended again, unread, under the
// older state's path of it; what the current read counted stays counted
// once. False where the file changed or the machine is the current state.
bool reuseUnchangedRecords(ExaminedMachine& machine, const std::wstring& path,
                           const RecordSource& source, RecordList& records);

// Where a folder really is, links followed, so that one reached two ways is
// known to be one.
std::wstring realFolderOf(ExaminedMachine& machine, const std::wstring& folder);

// The entry of a listing whose name folds to name, one spelled exactly so
// preferred; null when there is none. For the kinds that list their files
// with a reader of their own.
const FolderEntry* foldedEntry(const FolderListing& listing, std::wstring_view name,
                               EntryKind kind);

} // namespace tidewell
