// The UserAssist half of a scan: which hives are read and what coverage the
// facts then claim.
#include "support/this_machine.h"

#include <gtest/gtest.h>

#include "core/scan_counters.h"
#include "fake/fake_machine.h"
#include "platform/error_codes.h"
#include "userassist/sample/userassist_values.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_reader.h"

namespace tidewell {
namespace {

using sample::rot13;
using sample::userAssistData;

constexpr FileTime aStamp = 133500000000000000ULL;
const std::wstring profileList = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const std::wstring ownSid = L"S-1-5-21-100-200-300-1001";
const std::wstring otherSid = L"S-1-5-21-100-200-300-1002";
const std::wstring thirdSid = L"S-1-5-21-100-200-300-1003";
const std::wstring guidCount = L"\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";

void listProfiles(std::initializer_list<std::wstring> sids) {
    fake::createRegistryKey(RegistryRoot::LocalMachine, profileList);
    for (const std::wstring& sid : sids) {
        fake::createRegistryKey(RegistryRoot::LocalMachine, profileList + L"\\" + sid);
    }
}

// One launch entry in a hive: the current user's, or one under the users root.
void addEntry(RegistryRoot root, const std::wstring& hive, const std::wstring& program) {
    const std::wstring key = (hive.empty() ? L"" : hive + L"\\") + userAssistKeyPath + guidCount;
    fake::setRegistryValue(root, key, rot13(L"C:\\" + program), registryTypeBinary,
                           userAssistData(1, 1, 1, aStamp));
}

class ProfileCoverage : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setFixedNow(133616736000000000ULL);
        fake::setOwnSid(ownSid);
        addEntry(RegistryRoot::CurrentUser, L"", L"own.exe");
        // The own hive appears under the users root too, as it does on Windows.
        addEntry(RegistryRoot::Users, ownSid, L"own.exe");
    }
    void TearDown() override { fake::resetAll(); }

    RecordList records;
    ScanTally tally;
    ScanFacts facts;
};

TEST_F(ProfileCoverage, ThreeListedProfilesAndOnlyTheRunningUserLoggedOn) {
    listProfiles({L"S-1-5-18", ownSid, otherSid, thirdSid});
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_TRUE(facts.profileCoverageKnown);
    EXPECT_EQ(facts.profilesOnMachine, 3u);
    EXPECT_EQ(facts.profilesExamined, 1u);
    EXPECT_EQ(facts.profilesNotExamined, 2u);
    ASSERT_EQ(records.size(), 1u) << "the own hive is not read a second time";
    EXPECT_EQ(records[0].userSid, ownSid);
}

TEST_F(ProfileCoverage, AnotherLoggedOnUsersHiveIsReadAfterTheOwn) {
    listProfiles({ownSid, otherSid});
    addEntry(RegistryRoot::Users, otherSid, L"other.exe");
    addEntry(RegistryRoot::Users, otherSid + L"_Classes", L"classes.exe");
    addEntry(RegistryRoot::Users, L"S-1-5-19", L"service.exe");
    addEntry(RegistryRoot::Users, L".DEFAULT", L"default.exe");
    fake::addAccount(otherSid, L"colleague");
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_EQ(facts.profilesExamined, 2u);
    EXPECT_EQ(facts.profilesNotExamined, 0u);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, L"own.exe");
    EXPECT_EQ(records[1].name, L"other.exe");
    EXPECT_EQ(records[1].userSid, otherSid);
    EXPECT_EQ(records[1].userName, L"colleague");
    EXPECT_EQ(tally[userAssistUnreadable], 0u);
}

TEST_F(ProfileCoverage, ClassesHivesInAnyCaseAndTheOwnSidInOtherCaseAreSkipped) {
    listProfiles({ownSid});
    addEntry(RegistryRoot::Users, L"S-1-5-21-100-200-300-1001_cLaSsEs", L"classes.exe");
    fake::setOwnSid(L"s-1-5-21-100-200-300-1001"); // the token's text in other case
    testing::scanLiveUserAssist(records, tally, facts);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, L"own.exe");
}

TEST_F(ProfileCoverage, WithoutTheOwnSidTheOwnHiveIsReadTwice) {
    listProfiles({ownSid});
    fake::resetAll();
    fake::setFixedNow(133616736000000000ULL);
    addEntry(RegistryRoot::CurrentUser, L"", L"own.exe");
    addEntry(RegistryRoot::Users, ownSid, L"own.exe");
    listProfiles({ownSid});
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].userSid.empty());
    EXPECT_EQ(records[1].userSid, ownSid);
    EXPECT_EQ(facts.profilesExamined, 1u) << "one listed profile, read (twice)";
    EXPECT_EQ(facts.profilesNotExamined, 0u);
}

TEST_F(ProfileCoverage, AnUnlistedRunningAccountCannotMaskAListedProfile) {
    // Run as the system account, with two listed profiles of which one is loaded.
    fake::setOwnSid(L"S-1-5-18");
    listProfiles({otherSid, thirdSid});
    addEntry(RegistryRoot::Users, otherSid, L"other.exe");
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_TRUE(facts.profileCoverageKnown);
    EXPECT_EQ(facts.profilesOnMachine, 2u);
    EXPECT_EQ(facts.profilesExamined, 1u);
    EXPECT_EQ(facts.profilesNotExamined, 1u);
    // The unlisted own hive is still read and its records kept; so is the
    // loaded hive of a profile-named account that is not listed, which
    // counts no more than the own one.
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].userSid, L"S-1-5-18");
    EXPECT_EQ(records[1].userSid, ownSid);
    EXPECT_EQ(records[2].userSid, otherSid);
}

TEST_F(ProfileCoverage, EntraIdAccountsAreProfilesLikeLocalOnes) {
    const std::wstring entraSid = L"S-1-12-1-1234567890-1234567890-1234567890-1234567890";
    listProfiles({ownSid, entraSid});
    addEntry(RegistryRoot::Users, entraSid, L"entra.exe");
    addEntry(RegistryRoot::Users, entraSid + L"_Classes", L"classes.exe");
    std::uint32_t count = 0;
    ScanTally counting;
    EXPECT_TRUE(testing::countLiveProfiles(count, counting));
    EXPECT_EQ(count, 2u);
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_EQ(facts.profilesExamined, 2u);
    EXPECT_EQ(facts.profilesNotExamined, 0u);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].userSid, entraSid);
    EXPECT_TRUE(isProfileName(L"S-1-5-21"));
    EXPECT_FALSE(isProfileName(L"s-1-5-21-1"));
    EXPECT_FALSE(isProfileName(L"S-1-12-2-1"));
    EXPECT_FALSE(isProfileName(L"S-1-5-20"));
}

TEST_F(ProfileCoverage, AnUnreadableProfileListLeavesCoverageUnknown) {
    listProfiles({ownSid, otherSid});
    addEntry(RegistryRoot::Users, otherSid, L"other.exe");
    fake::failRegistryOpen(RegistryRoot::LocalMachine, profileList, ERROR_ACCESS_DENIED);
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_FALSE(facts.profileCoverageKnown);
    EXPECT_EQ(tally[profileListUnreadable], 1u);
    EXPECT_EQ(facts.profilesOnMachine, 0u);
    EXPECT_EQ(facts.profilesExamined, 2u) << "every hive read counts";
    EXPECT_EQ(facts.profilesNotExamined, 0u);
    EXPECT_EQ(records.size(), 2u);
}

TEST_F(ProfileCoverage, AProfileListThatBreaksOffIsDiscarded) {
    listProfiles({ownSid, otherSid, thirdSid});
    fake::failSubkeyEnumeration(RegistryRoot::LocalMachine, profileList, 2, ERROR_ACCESS_DENIED);
    std::uint32_t count = 99;
    ScanTally counting;
    EXPECT_FALSE(testing::countLiveProfiles(count, counting));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(counting[profileListUnreadable], 1u);
}

TEST_F(ProfileCoverage, AListWithoutProfilesIsCompleteWithNone) {
    listProfiles({L"S-1-5-18", L"S-1-5-19", L"S-1-5-20"});
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_TRUE(facts.profileCoverageKnown);
    EXPECT_EQ(facts.profilesOnMachine, 0u);
    EXPECT_EQ(facts.profilesNotExamined, 0u);
}

TEST_F(ProfileCoverage, UsersRootFailuresAreCountedAndTheRestStays) {
    listProfiles({ownSid, otherSid, thirdSid});
    addEntry(RegistryRoot::Users, otherSid, L"other.exe");
    addEntry(RegistryRoot::Users, thirdSid, L"third.exe");
    fake::failRegistryOpen(RegistryRoot::Users, otherSid, ERROR_ACCESS_DENIED);
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_EQ(tally[userAssistKeysUnreadable], 1u);
    EXPECT_EQ(facts.profilesExamined, 2u);
    EXPECT_EQ(facts.profilesNotExamined, 1u);

    records.clear();
    tally = ScanTally{};
    fake::failSubkeyEnumeration(RegistryRoot::Users, L"", 1, ERROR_ACCESS_DENIED);
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_EQ(tally[userAssistKeysUnreadable], 1u);
    EXPECT_EQ(records.size(), 1u);
}

TEST_F(ProfileCoverage, AnOwnHiveWithoutUserAssistIsUnreadableButExamined) {
    fake::resetAll();
    fake::setOwnSid(ownSid);
    listProfiles({ownSid, otherSid});
    // Another account's loaded hive may well lack the key: that is no failure.
    fake::createRegistryKey(RegistryRoot::Users, otherSid);
    testing::scanLiveUserAssist(records, tally, facts);
    EXPECT_EQ(tally[userAssistUnreadable], 1u);
    EXPECT_EQ(tally[userAssistKeysUnreadable], 0u);
    EXPECT_EQ(facts.profilesExamined, 2u);
    EXPECT_TRUE(records.empty());
}

} // namespace
} // namespace tidewell
