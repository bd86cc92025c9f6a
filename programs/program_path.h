// How records name a program's file, brought to one form so that the same
// file joins however each record wrote it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tidewell {

using PathVariables = std::vector<std::pair<std::wstring, std::wstring>>;

// The path as records join on it: \??\ and \\?\ taken off (\\?\UNC\ made
// \\), the examined machine's variables (%SystemRoot% and the like)
// replaced by its values, A to Z in capitals. Empty for text that does not
// name a file by a drive or a share (a device path, \VOLUME{...}, an id).
// The key is appended to text; false, with text as it was, where there is none.
bool appendJoinKey(std::wstring_view path, const PathVariables& variables, std::wstring& text);

// A kernel device path split into its device (\Device\HarddiskVolume3, as
// written) and the path on it (from its backslash), both views of the path;
// false for any other text, and for a device without a path on it.
bool splitDevicePath(std::wstring_view path, std::wstring_view& device, std::wstring_view& rest);

// A packaged application's family name (Name_PublisherId) from any form
// Windows writes it in: the family name itself, a full name
// (Name_Version_Architecture_Resource_PublisherId), an application id
// (Family!App) or the cache's tab-separated fields. Empty for text that is
// none of them.
std::wstring packageFamilyOf(std::wstring_view text);

} // namespace tidewell
