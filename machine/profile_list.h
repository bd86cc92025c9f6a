// The user profiles a machine lists in its SOFTWARE key (the live one, or a
// hive file's), and the account the program runs as.
#pragma once

#include <string>
#include <vector>

#include "machine/machine_variables.h"
#include "registry/registry.h"

namespace tidewell {

// Below SOFTWARE.
inline constexpr wchar_t profileListKeyPath[] =
    L"Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// Whether a registry key name names a user profile: a local or domain
// account ("S-1-5-21") or a Microsoft Entra ID account ("S-1-12-1").
bool isProfileName(const std::wstring& name);

struct ListedProfile {
    std::wstring sid;
    // ProfileImagePath expanded with the machine's variables, such as
    // C:\Users\alice; empty when it is absent or names an unknown variable.
    std::wstring folder;
};

struct ProfileList {
    bool read = false; // read in full; a partial list would understate the machine
    std::vector<ListedProfile> profiles; // in list order
};

ProfileList readProfileList(const RegistryKey& software, const Variables& variables);

// The textual SID the process runs as, or empty text.
std::wstring currentUserSid();

} // namespace tidewell
