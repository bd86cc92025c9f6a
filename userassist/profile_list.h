// The machine's user profiles, as its profile list names them, and the
// account the program runs as.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/scan_tally.h"
#include "registry/registry.h"

namespace tidewell {

inline constexpr wchar_t profileListKeyPath[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// Whether a registry key name names a user profile: a local or domain
// account ("S-1-5-21") or a Microsoft Entra ID account ("S-1-12-1").
bool isProfileName(const std::wstring& name);

// Counts the profiles in the profile list under the machine's root; true
// when the list was read in full (profileListUnreadable counted otherwise,
// and the count is 0). listed, when given, receives their names.
bool countProfiles(const RegistryKey& machine, std::uint32_t& count, ScanTally& tally,
                   std::vector<std::wstring>* listed = nullptr);

// The textual SID the process runs as, or empty text.
std::wstring currentUserSid();

} // namespace tidewell
