// Folder and name joined with exactly one backslash between them.
#pragma once

#include <string>
#include <string_view>

namespace tidewell {

// An empty folder gives the name alone; a folder that already ends in a
// backslash gets the name appended directly. The name is not examined, so an
// empty name leaves a trailing backslash.
std::wstring joinPath(std::wstring_view folder, std::wstring_view name);

} // namespace tidewell
