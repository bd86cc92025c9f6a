#include "userassist/profile_coverage.h"

#include "platform/error_codes.h"
#include "platform/identity.h"
#include "platform/registry.h"
#include "platform/text_fold.h"
#include "userassist/userassist_reader.h"

namespace tidewell {

namespace {

constexpr wchar_t profileListKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr std::uint32_t subkeyNameChars = 256;

bool startsWith(const std::wstring& text, std::wstring_view prefix) {
    return std::wstring_view(text).substr(0, prefix.size()) == prefix;
}

// The listed profiles whose hive was read, each once.
struct Coverage {
    bool listKnown = false;
    std::vector<std::wstring> listed;
    std::vector<bool> examined;
    std::uint32_t hivesRead = 0;

    void noteRead(const std::wstring& sid) {
        ++hivesRead;
        for (std::size_t i = 0; i < listed.size(); ++i) {
            if (!sid.empty() && equalsFolded(listed[i], sid)) {
                examined[i] = true;
            }
        }
    }

    std::uint32_t listedExamined() const {
        std::uint32_t count = 0;
        for (bool read : examined) {
            count += read ? 1 : 0;
        }
        return count;
    }
};

} // namespace

bool isProfileName(const std::wstring& name) {
    return startsWith(name, L"S-1-5-21") || startsWith(name, L"S-1-12-1");
}

bool countProfiles(std::uint32_t& count, ScanTally& tally, std::vector<std::wstring>* listed) {
    count = 0;
    if (listed != nullptr) {
        listed->clear();
    }
    RegistryKey machine;
    openRegistryRoot(RegistryRoot::LocalMachine, machine);
    RegistryKey profiles;
    if (regOpenKey(machine, profileListKey, registryKeyRead, profiles) != ERROR_SUCCESS) {
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

void scanUserAssist(RecordList& records, ScanTally& tally, ScanFacts& facts) {
    Coverage coverage;
    coverage.listKnown = countProfiles(facts.profilesOnMachine, tally, &coverage.listed);
    coverage.examined.assign(coverage.listed.size(), false);
    facts.profileCoverageKnown = coverage.listKnown ? 1 : 0;

    const std::wstring ownSid = currentUserSid();
    RegistryKey currentUser;
    openRegistryRoot(RegistryRoot::CurrentUser, currentUser);
    readUserAssistHive(currentUser, ownSid, true, true, records, tally);
    coverage.noteRead(ownSid);

    RegistryKey users;
    openRegistryRoot(RegistryRoot::Users, users);
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const std::uint32_t status = regEnumKey(users, index, subkeyNameChars, name);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS) {
            ++tally.userAssistKeysUnreadable;
            break;
        }
        if (!isProfileName(name) || endsWithFolded(name, L"_Classes") ||
            (!ownSid.empty() && equalsFolded(name, ownSid))) {
            continue; // not a profile, a classes hive, or the hive read above
        }
        RegistryKey hive;
        if (regOpenKey(users, name, registryKeyRead, hive) != ERROR_SUCCESS) {
            ++tally.userAssistKeysUnreadable;
            continue;
        }
        readUserAssistHive(hive, name, false, false, records, tally);
        coverage.noteRead(name);
        regCloseKey(hive);
    }

    if (coverage.listKnown) {
        // Only listed profiles count, so that a hive read for an account
        // outside the list (the system account, say) cannot stand in for a
        // listed profile that was never read.
        facts.profilesExamined = coverage.listedExamined();
        facts.profilesNotExamined = facts.profilesOnMachine - facts.profilesExamined;
    } else {
        facts.profilesExamined = coverage.hivesRead;
        facts.profilesNotExamined = 0;
    }
}

} // namespace tidewell
