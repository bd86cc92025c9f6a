// The files a scan may read. This machine's own folders are read as they
// are; a folder of collected evidence is read only inside itself: a file or
// folder is read only when its real place, once every link is followed,
// lies inside the root, and a file only when it is a regular file. What was
// refused, and why, is kept so that the scan can say it.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_place.h"

namespace tidewell {

enum class Refusal {
    None,
    LeadsOutside,   // a link or reparse point leading out of the root
    LinkLoop,       // links that lead round in a loop
    NotRegularFile, // a device, a named pipe or a socket
    NotAFolder,     // where a folder was looked for, something else
    Unresolvable,   // it could not be looked at
    BecameLink,     // a link was swapped in between its check and its opening
};

struct ScopeRefusal {
    std::wstring path;
    Refusal why = Refusal::None;
};

struct FileScope {
    bool confined = false;
    std::wstring realRoot; // where the root really lies, once confined
    std::vector<ScopeRefusal> refused;
    // Where each folder checked really lies, so that the files of a folder
    // cost one look each rather than one a part of their path. Opening still
    // walks from the root through no link (files.h), so a folder swapped for
    // a link since is still caught.
    std::unordered_map<std::wstring, FilePlace> folderPlaces;
};

// The host's files as they are, for a scan of this machine.
FileScope hostFileScope();

// Only what lies inside root. A root that cannot be resolved confines to
// nothing at all: every entry below it is refused.
FileScope confinedFileScope(const std::wstring& root);

// Whether path may be read as a file (or listed as a folder); a refusal is
// kept in the scope. Missing entries are not refusals: the caller counts
// them as it counts anything missing.
// realPath, where given, receives where the file really lies (in a confined
// scope, to be opened below the root without following a link).
bool mayReadFile(FileScope& scope, const std::wstring& path, Refusal& why,
                 std::wstring* realPath = nullptr);
bool mayListFolder(FileScope& scope, const std::wstring& path, Refusal& why);

// Keeps a refusal met after the check (a link swapped in), to be said as
// the others are.
void refuse(FileScope& scope, const std::wstring& path, Refusal why);

// The reason in words, for the report and the detail texts.
const wchar_t* refusalText(Refusal why);

} // namespace tidewell
