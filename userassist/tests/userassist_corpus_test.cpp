// The corpus's real UserAssist exports through the fake registry: as the
// running user's own hive and as another user's loaded hive.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "machine/known_folders.h"
#include "support/corpus_files.h"
#include "support/reg_file.h"
#include "support/this_machine.h"
#include "support/userassist_corpus_checks.h"
#include "userassist/userassist_counters.h"

namespace tidewell {
namespace {

const std::wstring ownSid = L"S-1-5-21-111-222-333-1001";
const std::wstring otherSid = L"S-1-5-21-111-222-333-1002";
const std::wstring profileList = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

std::vector<testing::RegFileKey> exportKeys(const char* file) {
    std::ifstream in(testing::corpusRoot() / "userassist-reg" / file);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<testing::RegFileKey> keys;
    EXPECT_TRUE(testing::parseRegFile(text.str(), "HKEY_CURRENT_USER", keys)) << file;
    return keys;
}

// A machine like the one the exports came from: the shell knows every folder
// the exports name, for the running account.
void prepareMachine() {
    fake::resetAll();
    fake::setOwnSid(ownSid);
    fake::addAccount(ownSid, L"analyst");
    for (std::wstring_view id : machineWideFolderIds) {
        fake::addKnownFolder(std::wstring(id), L"C:\\Machine\\" + std::wstring(id.substr(1, 8)));
    }
    fake::addKnownFolder(L"{A77F5D77-2E2B-44C3-A6A2-ABA601054A51}",
                         L"C:\\Users\\analyst\\Programs");
    fake::addKnownFolder(L"{9E3995AB-1F9C-4F13-B827-48B24B6C7174}", L"C:\\Users\\analyst\\Pinned");
    fake::createRegistryKey(RegistryRoot::LocalMachine, profileList + L"\\" + ownSid);
    fake::createRegistryKey(RegistryRoot::LocalMachine, profileList + L"\\" + otherSid);
    fake::createRegistryKey(RegistryRoot::LocalMachine,
                            profileList + L"\\S-1-5-21-111-222-333-1003");
}

TEST(UserAssistCorpus, EachExportAsTheOwnHive) {
    TIDEWELL_REQUIRE_CORPUS("userassist-reg");
    for (const auto& facts : testing::userAssistExports) {
        SCOPED_TRACE(facts.file);
        prepareMachine();
        testing::loadIntoFake(exportKeys(facts.file), RegistryRoot::CurrentUser, L"");
        RecordList records;
        ScanTally tally;
        ScanFacts scanFacts;
        testing::scanLiveUserAssist(records, tally, scanFacts);
        testing::expectEveryValueCountedOnce(tally, facts);
        EXPECT_EQ(records.size(), facts.parsed);
        EXPECT_EQ(tally[folderIdsUnresolved], 0u) << "the own account's folders all resolve";
        EXPECT_EQ(scanFacts.profilesExamined, 1u);
        EXPECT_EQ(scanFacts.profilesNotExamined, 2u);
        for (const LaunchRecord& record : records) {
            EXPECT_EQ(record.userSid, ownSid);
            EXPECT_EQ(record.userName, L"analyst");
            EXPECT_LE(record.runTimes.size(), 1u);
        }
    }
}

TEST(UserAssistCorpus, EachExportAsAnotherUsersLoadedHive) {
    TIDEWELL_REQUIRE_CORPUS("userassist-reg");
    for (const auto& facts : testing::userAssistExports) {
        SCOPED_TRACE(facts.file);
        prepareMachine();
        testing::loadIntoFake(exportKeys(facts.file), RegistryRoot::Users, otherSid);
        RecordList records;
        ScanTally tally;
        ScanFacts scanFacts;
        testing::scanLiveUserAssist(records, tally, scanFacts);
        testing::expectEveryValueCountedOnce(tally, facts);
        EXPECT_EQ(tally[userAssistUnreadable], 1u) << "the own hive has no UserAssist key here";
        EXPECT_EQ(tally[folderIdsUnresolved], facts.perUserFolderIds);
        EXPECT_EQ(tally[folderIdsOtherUser], facts.perUserFolderIds);
        EXPECT_EQ(scanFacts.profilesExamined, 2u);
        EXPECT_EQ(scanFacts.profilesNotExamined, 1u);
        std::uint32_t folderIdRecords = 0;
        for (const LaunchRecord& record : records) {
            EXPECT_EQ(record.userSid, otherSid);
            EXPECT_EQ(record.userName, L"") << "no account of that SID on this machine";
            if (record.pathStatus == PathStatus::FolderIdUnresolved) {
                ++folderIdRecords;
            } else if (record.pathStatus == PathStatus::Resolved &&
                       record.path.rfind(L"C:\\Machine\\", 0) == 0) {
                ++folderIdRecords;
            }
        }
        EXPECT_EQ(folderIdRecords, facts.folderIds);
    }
}

} // namespace
} // namespace tidewell
