// Finding files and folders by name without regard to the case of A to Z:
// a collected copy of a Windows drive keeps the case its collector gave
// each name, and on Linux names are compared exactly. A name spelled exactly
// so is preferred to one that only folds alike.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_scope.h"

namespace tidewell {

enum class EntryKind {
    Any,
    File,
    Folder,
};

// The entry of folder whose name folds to name; false when there is none
// (or the folder cannot be listed). A folder is found only where the scope
// lets it be listed; a file is found whatever it is, and the scope judges it
// when it is read, so that what is refused is counted as unreadable, not as
// missing.
bool findEntryFolded(FileScope& scope, const std::wstring& folder, std::wstring_view name,
                     EntryKind kind, std::wstring& path);

// The same for a backslash-separated relative path, part by part: every part
// but the last is a folder.
bool findPathFolded(FileScope& scope, const std::wstring& base, std::wstring_view relative,
                    EntryKind kind, std::wstring& path);

} // namespace tidewell
