// This machine's own users' keys (the test double's registry): each
// registry source reads the running user's hive and every other loaded
// one, the classes hive under HKEY_USERS\SID_Classes, says what the live
// registry cannot give (a key's last writing), and counts what it cannot
// open.
#include <gtest/gtest.h>

#include "castore/castore_source.h"
#include "fake/fake_machine.h"
#include "featureusage/featureusage_counters.h"
#include "featureusage/featureusage_reader.h"
#include "featureusage/featureusage_source.h"
#include "muicache/muicache_counters.h"
#include "muicache/muicache_details.h"
#include "muicache/muicache_reader.h"
#include "muicache/muicache_source.h"
#include "platform/error_codes.h"
#include "platform/live_registry.h"
#include "runmru/runmru_reader.h"
#include "runmru/runmru_source.h"
#include "sample/evidence_tree.h"
#include "support/scans.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

const std::wstring ownSid = L"S-1-5-21-100-200-300-1001";
const std::wstring otherSid = L"S-1-5-21-100-200-300-1002";
const std::wstring profileList = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

class UserKeysLive : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setFixedNow(133616736000000000ULL);
        fake::setOwnSid(ownSid);
        fake::addAccount(ownSid, L"analyst");
        fake::addAccount(otherSid, L"colleague");
        for (const std::wstring& sid : {ownSid, otherSid}) {
            fake::createRegistryKey(RegistryRoot::LocalMachine, profileList + L"\\" + sid);
        }
        // The running user's hive, under its own root and the users root.
        for (const auto& [root, prefix] : {std::pair{RegistryRoot::CurrentUser, std::wstring()},
                                           std::pair{RegistryRoot::Users, ownSid + L"\\"}}) {
            fake::setRegistryValue(root, prefix + runMruKeyPath, L"a", 1,
                                   sample::registryText(L"cmd\\1"));
            fake::setRegistryValue(root, prefix + runMruKeyPath, L"MRUList", 1,
                                   sample::registryText(L"a"));
        }
        fake::setRegistryValue(RegistryRoot::Users, ownSid + L"_Classes\\" + muiCacheClassesPath,
                               L"C:\\Tools\\renamed.exe.FriendlyAppName", 1,
                               sample::registryText(L"Mimikatz"));
        fake::setRegistryDword(RegistryRoot::Users,
                               otherSid + L"\\" + featureUsageKeyPath + L"\\AppSwitched",
                               L"C:\\Tools\\putty.exe", 39);
    }
    void TearDown() override { fake::resetAll(); }
};

TEST_F(UserKeysLive, EachLoadedUsersKeysAndClassesHiveAreRead) {
    const ScanResults results = testing::scanThisMachine();
    const std::vector<const LaunchRecord*> commands = testing::recordsOf(results, runMruSource);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0]->userName, L"analyst");
    EXPECT_TRUE(commands[0]->runTimes.empty()) << "the live registry gives no key's writing";

    const std::vector<const LaunchRecord*> names = testing::recordsOf(results, muiCacheSource);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(muiCacheDetails(*names[0])->description, L"Mimikatz");
    EXPECT_EQ(names[0]->userSid, ownSid);
    EXPECT_NE(buildDetailText(*names[0], DetailContext{})
                  .find(L"Key last written:  (not known: the live registry does not give it)"),
              std::wstring::npos);
    EXPECT_EQ(readingOf(results.origin, muiCacheSource).note,
              L"the shell's names of 1 of 2 users' hives; 1 without a classes hive "
              L"(UsrClass.dat)");

    const std::vector<const LaunchRecord*> switched =
        testing::recordsOf(results, featureUsageSource);
    ASSERT_EQ(switched.size(), 1u);
    EXPECT_EQ(switched[0]->userName, L"colleague");
    EXPECT_EQ(provesOf(*switched[0]), Proves::Interacted);
    EXPECT_EQ(readingOf(results.origin, compatibilityStoreSource).presence,
              SourcePresence::NotPresent);
    EXPECT_EQ(results.facts.profilesExamined, 2u) << "each profile once, whichever sources read";
}

TEST_F(UserKeysLive, KeysAndClassesHivesThatWillNotOpenAreCounted) {
    fake::failRegistryOpen(RegistryRoot::Users, otherSid + L"_Classes", ERROR_ACCESS_DENIED);
    fake::createRegistryKey(RegistryRoot::Users, otherSid + L"_Classes");
    fake::failRegistryOpen(RegistryRoot::Users, otherSid + L"\\" + featureUsageKeyPath,
                           ERROR_ACCESS_DENIED);
    const ScanResults results = testing::scanThisMachine();
    EXPECT_EQ(results.tally[muiCacheUnreadable], 1u);
    EXPECT_EQ(readingOf(results.origin, muiCacheSource).presence, SourcePresence::Read);
    EXPECT_EQ(results.tally[featureUsageKeysUnreadable], 1u);
    EXPECT_EQ(readingOf(results.origin, featureUsageSource).presence, SourcePresence::Unreadable)
        << "the only user's key there would not open";
    EXPECT_TRUE(testing::recordsOf(results, featureUsageSource).empty());
    EXPECT_TRUE(results.anyFailure);
}

} // namespace
} // namespace tidewell
