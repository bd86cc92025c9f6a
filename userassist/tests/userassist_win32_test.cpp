// The corpus's UserAssist exports imported with regedit into the test's Wine
// prefix, as the running user's hive and as another user's loaded hive, then
// read through the real win32 backend.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "machine/user_hives.h"
#include "support/corpus_files.h"
#include "support/hive_files.h"
#include "support/record_details.h"
#include "support/reg_file.h"
#include "support/this_machine.h"
#include "support/userassist_corpus_checks.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_reader.h"

namespace tidewell {
namespace {

const std::wstring otherSid = L"S-1-5-21-111-222-333-1002";
const wchar_t profileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

std::string exportText(const char* file) {
    std::ifstream in(testing::corpusRoot() / "userassist-reg" / file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Imports .reg text the way an examiner would, with regedit /S.
void importWithRegedit(const std::string& text) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"tidewell-import.reg";
    {
        std::ofstream out(std::filesystem::path(path), std::ios::binary);
        out << text;
    }
    std::wstring command = L"regedit.exe /S \"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileW(path.c_str());
}

void clearHives() {
    RegDeleteTreeW(HKEY_CURRENT_USER, userAssistKeyPath);
    RegDeleteTreeW(HKEY_USERS, otherSid.c_str());
}

void listExtraProfiles() {
    for (const wchar_t* sid : {L"S-1-5-21-111-222-333-1002", L"S-1-5-21-111-222-333-1003"}) {
        HKEY key = nullptr;
        const std::wstring path = std::wstring(profileList) + L"\\" + sid;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
}

std::uint32_t listedProfiles() {
    std::uint32_t count = 0;
    ScanTally tally;
    EXPECT_TRUE(testing::countLiveProfiles(count, tally));
    return count;
}

// The hive file the export came from, read by the hive reader as the same
// account's hive, gives the very records the live registry gave. (regedit
// wrote the values in the export's order, which is sorted by name, so the
// records are compared in that order.)
void expectSameAsTheHiveFile(RecordList live, const char* hiveFile, const std::wstring& sid) {
    const testing::LoadedHive hive =
        testing::loadHiveFiles(testing::corpusRoot() / "hives" / hiveFile);
    ASSERT_EQ(hive.load.status, HiveStatus::Clean);
    RegistryKey root;
    openHiveRoot(hive.image, root);
    RecordList fromFile;
    ScanTally tally;
    const testing::OpenedMachine thisMachine;
    const HiveContext own{sid, accountNameOnMachine(thisMachine.machine, sid), true, nullptr};
    readUserAssistKeys(root, own, fromFile, tally);
    ASSERT_EQ(fromFile.size(), live.size());
    const auto order = [](const LaunchRecord& a, const LaunchRecord& b) {
        return std::tie(a.name, a.path, a.runCount, a.runTimes) <
               std::tie(b.name, b.path, b.runCount, b.runTimes);
    };
    std::sort(live.begin(), live.end(), order);
    std::sort(fromFile.begin(), fromFile.end(), order);
    for (std::size_t i = 0; i < live.size(); ++i) {
        SCOPED_TRACE(testing::narrow(live[i].name));
        EXPECT_EQ(fromFile[i].name, live[i].name);
        EXPECT_EQ(fromFile[i].path, live[i].path);
        EXPECT_EQ(fromFile[i].pathStatus, live[i].pathStatus);
        EXPECT_EQ(fromFile[i].runCount, live[i].runCount);
        EXPECT_EQ(testing::userAssistOf(fromFile[i]).focusCount,
                  testing::userAssistOf(live[i]).focusCount);
        EXPECT_EQ(testing::userAssistOf(fromFile[i]).focusMilliseconds,
                  testing::userAssistOf(live[i]).focusMilliseconds);
        EXPECT_EQ(fromFile[i].runTimes, live[i].runTimes);
        EXPECT_EQ(fromFile[i].userName, live[i].userName);
    }
}

TEST(UserAssistWin32, CorpusExportsAsTheOwnHiveAndAsAnotherUsers) {
    TIDEWELL_REQUIRE_CORPUS("userassist-reg");
    listExtraProfiles();
    const std::uint32_t listed = listedProfiles();
    ASSERT_GE(listed, 3u) << "the prefix's own user and the two added";
    const std::wstring ownSid = currentUserSid();
    ASSERT_FALSE(ownSid.empty());

    for (const auto& facts : testing::userAssistExports) {
        SCOPED_TRACE(facts.file);
        const std::string text = exportText(facts.file);

        clearHives();
        importWithRegedit(text);
        RecordList records;
        ScanTally tally;
        ScanFacts scanFacts;
        testing::scanLiveUserAssist(records, tally, scanFacts);
        testing::expectEveryValueCountedOnce(tally, facts);
        EXPECT_EQ(tally[folderIdsOtherUser], 0u);
        EXPECT_LE(tally[folderIdsUnresolved], facts.perUserFolderIds);
        EXPECT_EQ(scanFacts.profilesOnMachine, listed);
        EXPECT_EQ(scanFacts.profilesExamined, 1u);
        EXPECT_EQ(scanFacts.profilesNotExamined, listed - 1);
        for (const LaunchRecord& record : records) {
            EXPECT_EQ(record.userSid, ownSid);
            EXPECT_FALSE(record.userName.empty()) << "Wine resolves its own user";
        }
        expectSameAsTheHiveFile(records, facts.hive, ownSid);

        clearHives();
        importWithRegedit(testing::rerootRegFile(text, "HKEY_CURRENT_USER",
                                                 "HKEY_USERS\\S-1-5-21-111-222-333-1002"));
        records.clear();
        tally = ScanTally{};
        testing::scanLiveUserAssist(records, tally, scanFacts);
        testing::expectEveryValueCountedOnce(tally, facts);
        EXPECT_EQ(tally[userAssistUnreadable], 1u);
        // Machine-wide folders resolve through Wine's shell; per-user ones
        // of another account cannot.
        EXPECT_EQ(tally[folderIdsUnresolved], facts.perUserFolderIds);
        EXPECT_EQ(tally[folderIdsOtherUser], facts.perUserFolderIds);
        EXPECT_EQ(scanFacts.profilesExamined, 2u);
        EXPECT_EQ(scanFacts.profilesNotExamined, listed - 2);
        for (const LaunchRecord& record : records) {
            EXPECT_EQ(record.userSid, otherSid);
            EXPECT_TRUE(record.userName.empty());
        }
    }
    clearHives();
}

} // namespace
} // namespace tidewell
