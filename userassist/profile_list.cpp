#include "userassist/profile_list.h"

#include <string_view>

#include "platform/error_codes.h"
#include "platform/identity.h"

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

bool countProfiles(const RegistryKey& machine, std::uint32_t& count, ScanTally& tally,
                   std::vector<std::wstring>* listed) {
    count = 0;
    if (listed != nullptr) {
        listed->clear();
    }
    RegistryKey profiles;
    if (regOpenKey(machine, profileListKeyPath, registryKeyRead, profiles) != ERROR_SUCCESS) {
        ++tally.profileListUnreadable;
        return false;
    }
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const std::uint32_t status = regEnumKey(profiles, index, subkeyNameChars, name);
        if (status == ERROR_NO_MORE_ITEMS) {
            return true;
        }
        if (status != ERROR_SUCCESS) {
            // A partial count would understate the machine: discard it.
            ++tally.profileListUnreadable;
            count = 0;
            if (listed != nullptr) {
                listed->clear();
            }
            return false;
        }
        if (isProfileName(name)) {
            ++count;
            if (listed != nullptr) {
                listed->push_back(name);
            }
        }
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
