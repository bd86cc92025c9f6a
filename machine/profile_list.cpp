#include "machine/profile_list.h"

#include <string_view>

#include "platform/error_codes.h"
#include "platform/identity.h"
#include "registry/registry_text.h"

namespace tidewell {

namespace {

constexpr std::uint32_t subkeyNameChars = 256;

bool startsWith(const std::wstring& text, std::wstring_view prefix) {
    return std::wstring_view(text).substr(0, prefix.size()) == prefix;
}

} // namespace

bool isProfileName(const std::wstring& name) {
    return startsWith(name, L"S-1-5-21") || startsWith(name, L"S-1-12-1");
}

ProfileList readProfileList(const RegistryKey& software, const Variables& variables) {
    ProfileList list;
    RegistryKey profiles;
    if (regOpenKey(software, profileListKeyPath, registryKeyRead, profiles) != ERROR_SUCCESS) {
        return list;
    }
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const std::uint32_t status = regEnumKey(profiles, index, subkeyNameChars, name);
        if (status == ERROR_NO_MORE_ITEMS) {
            list.read = true;
            return list;
        }
        if (status != ERROR_SUCCESS) {
            list.profiles.clear();
            return list;
        }
        if (!isProfileName(name)) {
            continue;
        }
        ListedProfile profile{name, {}};
        RegistryKey key;
        std::wstring path;
        if (regOpenKey(profiles, name, registryKeyQueryValue, key) == ERROR_SUCCESS &&
            regQueryText(key, L"ProfileImagePath", path)) {
            expandVariables(path, variables, profile.folder);
        }
        list.profiles.push_back(std::move(profile));
    }
}

std::wstring currentUserSid() {
    std::wstring sid;
    if (!queryTokenUserSid(sid)) {
        return {};
    }
    return sid;
}

} // namespace tidewell
