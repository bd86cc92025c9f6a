// Paths put together and taken apart: folder and name joined with exactly
// one backslash between them, and a path's last part.
#pragma once

#include <string>
#include <string_view>

namespace tidewell {

// An empty folder gives the name alone; a folder that already ends in a
// backslash gets the name appended directly. The name is not examined, so an
// empty name leaves a trailing backslash.
std::wstring joinPath(std::wstring_view folder, std::wstring_view name);

// What follows the path's last separator (a backslash, or a slash as the
// host or Windows itself also reads it); the whole path where it has none.
std::wstring lastPart(std::wstring_view path);

// Whether the path names something on a drive (a letter, a colon, a
// backslash and more) or a share (two backslashes and more), as Windows
// writes a full path; a name it looks up, or a path without its drive, is
// neither.
bool isDriveOrSharePath(std::wstring_view path);

// What comes before the path's last separator; empty where it has none.
std::wstring folderPart(std::wstring_view path);

} // namespace tidewell
