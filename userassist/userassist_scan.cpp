#include "userassist/userassist_scan.h"

#include <string>
#include <vector>

#include "platform/error_codes.h"
#include "platform/text_fold.h"
#include "userassist/profile_list.h"
#include "userassist/userassist_reader.h"

namespace tidewell {

namespace {

constexpr std::uint32_t subkeyNameChars = 256;

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

void scanUserAssist(const UserAssistRegistry& registry, RecordList& records, ScanTally& tally,
                    ScanFacts& facts) {
    Coverage coverage;
    coverage.listKnown =
        countProfiles(registry.machine, facts.profilesOnMachine, tally, &coverage.listed);
    coverage.examined.assign(coverage.listed.size(), false);
    facts.profileCoverageKnown = coverage.listKnown ? 1 : 0;

    const std::wstring ownSid = currentUserSid();
    readUserAssistHive(registry.currentUser, ownSid, HiveOwner::RunningAccount, records, tally);
    coverage.noteRead(ownSid);

    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const std::uint32_t status = regEnumKey(registry.users, index, subkeyNameChars, name);
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
        if (regOpenKey(registry.users, name, registryKeyRead, hive) != ERROR_SUCCESS) {
            ++tally.userAssistKeysUnreadable;
            continue;
        }
        readUserAssistHive(hive, name, HiveOwner::OtherAccount, records, tally);
        coverage.noteRead(name);
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
