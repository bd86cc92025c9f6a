// Where a path really leads once every symbolic link, junction and reparse
// point on the way is followed, and what lies there, found without reading
// from it: a named pipe or a device is never opened for reading, so that
// asking cannot block or have side effects. Collected evidence may come from
// a machine an attacker controlled, or from an archive anyone can craft.
#pragma once

#include <string>
#include <string_view>

namespace tidewell {

enum class PlaceType {
    File, // a regular file
    Folder,
    Special,    // a device, a named pipe, a socket: never a file to read
    Missing,    // nothing there (a link that leads nowhere included)
    LinkLoop,   // links that lead round in a loop
    Unreadable, // it could not be looked at
};

struct FilePlace {
    PlaceType type = PlaceType::Missing;
    // The full path with every link resolved, as the host names it; empty
    // unless the type is File, Folder or Special.
    std::wstring realPath;
};

FilePlace resolvePlace(const std::wstring& path);

// An entry of a folder resolved already (realFolder is where the folder
// really lies): an entry that is no link is looked at alone, without
// resolving the folder again; one that is a link is resolved whole, as path
// (the entry as it was asked for).
FilePlace resolveEntryPlace(const std::wstring& realFolder, std::wstring_view name,
                            const std::wstring& path);

} // namespace tidewell
