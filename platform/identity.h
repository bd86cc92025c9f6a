// Who the program runs as, whose account a SID names, and where the shell
// keeps its known folders for the running account.
#pragma once

#include <string>

namespace tidewell {

// The textual SID of the process token's user (such as S-1-5-21-...-1001);
// false when the token or its user cannot be read or converted.
bool queryTokenUserSid(std::wstring& sid);

// The account name (without its domain) that a textual SID names on this
// machine; false for a malformed SID, an unknown or deleted account, or a
// name longer than 255 characters.
bool lookupAccountNameForSid(const std::wstring& sid, std::wstring& accountName);

// The path of a known folder, given its id as braced GUID text, for the
// running account, without checking that the folder exists; false when the
// text is not a GUID or the shell does not know the folder.
bool queryKnownFolderPath(const std::wstring& folderId, std::wstring& path);

} // namespace tidewell
