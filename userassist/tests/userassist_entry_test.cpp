// One UserAssist value, rule by rule: screening, shape, timestamps, paths.
#include "userassist/userassist_entry.h"

#include <gtest/gtest.h>

#include "machine/user_hives.h"

#include "support/record_details.h"
#include "support/this_machine.h"

#include "core/record_source.h"
#include "fake/fake_machine.h"
#include "machine/known_folders.h"
#include "support/tally_checks.h"
#include "userassist/sample/userassist_values.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

using sample::userAssistData;

constexpr FileTime now = 133616736000000000ULL; // 2024-06-01 00:00:00 UTC
constexpr FileTime aStamp = 133500000000000000ULL;
const std::wstring systemFolderId = L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}";
const std::wstring desktopFolderId = L"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}";

class UserAssistEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setFixedNow(now);
        fake::addKnownFolder(systemFolderId, L"C:\\Windows\\system32");
        fake::addKnownFolder(desktopFolderId, L"C:\\Users\\analyst\\Desktop");
    }
    void TearDown() override { fake::resetAll(); }

    struct Made {
        bool made = false;
        LaunchRecord record;
        ScanTally tally;
    };

    Made make(const std::wstring& decoded, const std::vector<std::uint8_t>& data,
              bool ownHive = true) {
        Made result;
        const HiveContext hive{L"S-1-5-21-1-2-3-1001", L"analyst", ownHive};
        result.made = makeUserAssistRecord(decoded, data.empty() ? nullptr : data.data(),
                                           static_cast<std::uint32_t>(data.size()), hive,
                                           result.tally, result.record);
        return result;
    }
};

TEST(UserAssistNames, Rot13OnAsciiLettersOnly) {
    EXPECT_EQ(decodeValueName(L"N"), L"A");
    EXPECT_EQ(decodeValueName(L"z"), L"m");
    EXPECT_EQ(decodeValueName(L"{1NP14R77-02R7}\\:-09"), L"{1AC14E77-02E7}\\:-09");
    const std::wstring accented{L'\x00C9', L'\x00E9', L'\x03A3'};
    EXPECT_EQ(decodeValueName(accented), accented);
    EXPECT_EQ(decodeValueName(L"HRZR_PGYFRFFVBA"), L"UEME_CTLSESSION");
    EXPECT_EQ(decodeValueName(L""), L"");
}

TEST(UserAssistScreening, BookkeepingThenTypeThenSize) {
    ScanTally tally;
    // Bookkeeping is decided before the type or size is looked at; Windows
    // XP's sums per kind of launch are bookkeeping, its launches are not.
    EXPECT_FALSE(screenUserAssistValue(L"UEME_RUNPATH", registryTypeString, 1u << 20, tally));
    EXPECT_FALSE(screenUserAssistValue(L"UEME_RUNPATH:", registryTypeBinary, 16, tally));
    EXPECT_FALSE(screenUserAssistValue(L"UEME_CTLCUACount:ctor", registryTypeBinary, 16, tally));
    EXPECT_EQ(tally[userAssistBookkeepingSkipped], 3u);
    for (const wchar_t* launch :
         {L"UEME_RUNPATH:C:\\a.exe", L"UEME_RUNPIDL:%csidl2%\\b.lnk", L"UEME_RUNCPL:desk.cpl"}) {
        EXPECT_TRUE(screenUserAssistValue(launch, registryTypeBinary, 16, tally)) << launch;
    }
    // The same letters in lower case, or only four of them, are not bookkeeping.
    EXPECT_FALSE(screenUserAssistValue(L"ueme_runpath", registryTypeDword, 4, tally));
    EXPECT_FALSE(screenUserAssistValue(L"UEME", registryTypeString, 4, tally));
    EXPECT_EQ(tally[userAssistWrongType], 2u);
    EXPECT_FALSE(screenUserAssistValue(L"C:\\a.exe", registryTypeBinary, 65537, tally));
    EXPECT_EQ(tally[userAssistTooLarge], 1u);
    EXPECT_TRUE(screenUserAssistValue(L"C:\\a.exe", registryTypeBinary, 65536, tally));
    EXPECT_TRUE(screenUserAssistValue(L"C:\\a.exe", registryTypeBinary, 0, tally));
    EXPECT_TRUE(screenUserAssistValue(L"UEM", registryTypeBinary, 72, tally));
    EXPECT_EQ(testing::sumOfAllCounters(tally), 6u);
}

TEST_F(UserAssistEntryTest, OnlySeventyTwoBytesMakeARecord) {
    for (std::size_t size : {0u, 16u, 71u, 73u, 65536u}) {
        std::vector<std::uint8_t> data = userAssistData(1, 1, 1, aStamp);
        data.resize(size);
        const Made made = make(L"C:\\a.exe", data);
        EXPECT_FALSE(made.made) << size;
        EXPECT_EQ(made.tally[userAssistWrongSize], 1u);
        EXPECT_EQ(testing::sumOfAllCounters(made.tally), 1u);
    }
    const Made made = make(L"C:\\a.exe", userAssistData(7, 3, 2500, aStamp));
    ASSERT_TRUE(made.made);
    EXPECT_EQ(made.record.runCount, 7u);
    EXPECT_TRUE(made.record.runCountKnown);
    EXPECT_EQ(testing::userAssistOf(made.record).focusCount, 3u);
    EXPECT_EQ(testing::userAssistOf(made.record).focusMilliseconds, 2500u);
    EXPECT_TRUE(testing::userAssistOf(made.record).hasFocus);
    EXPECT_EQ(made.record.runTimes, std::vector<FileTime>{aStamp});
    EXPECT_EQ(made.record.source, &userAssistSource);
    EXPECT_EQ(made.record.userSid, L"S-1-5-21-1-2-3-1001");
    EXPECT_EQ(made.record.userName, L"analyst");
    EXPECT_TRUE(made.record.recordFile.empty());
    EXPECT_EQ(made.tally[userAssistParsed], 1u);
    EXPECT_EQ(testing::sumOfAllCounters(made.tally), 1u);
}

TEST_F(UserAssistEntryTest, WindowsXpEntriesCountFromFiveAndNameTheirFolderByCsidl) {
    using sample::userAssistXpData;
    const Made path =
        make(L"UEME_RUNPATH:C:\\WINDOWS\\system32\\NOTEPAD.EXE", userAssistXpData(1, 7, aStamp));
    ASSERT_TRUE(path.made);
    EXPECT_EQ(path.record.name, L"NOTEPAD.EXE");
    EXPECT_EQ(path.record.path, L"C:\\WINDOWS\\system32\\NOTEPAD.EXE");
    EXPECT_EQ(path.record.runCount, 2u); // stored as 7: XP counts from 5
    EXPECT_TRUE(path.record.runCountKnown);
    EXPECT_EQ(path.record.runTimes, std::vector<FileTime>{aStamp});
    EXPECT_FALSE(testing::userAssistOf(path.record).hasFocus);
    EXPECT_EQ(userAssistSource.listDetail(path.record), L"Windows XP entry (RUNPATH)");

    // %csidl16% is the desktop folder, which this machine's shell places.
    const Made pidl =
        make(L"UEME_RUNPIDL:%csidl16%\\Tools\\wipe.lnk", userAssistXpData(1, 5, aStamp));
    ASSERT_TRUE(pidl.made);
    EXPECT_EQ(pidl.record.path, L"C:\\Users\\analyst\\Desktop\\Tools\\wipe.lnk");
    EXPECT_EQ(pidl.record.pathStatus, PathStatus::Resolved);
    EXPECT_EQ(pidl.record.runCount, 0u);
    // A CSIDL the shell does not place stays as XP wrote it.
    const Made programs = make(L"UEME_RUNPIDL:%csidl2%\\MSN.lnk", userAssistXpData(1, 19, aStamp));
    ASSERT_TRUE(programs.made);
    EXPECT_EQ(programs.record.path, L"%csidl2%\\MSN.lnk");
    EXPECT_EQ(programs.record.pathStatus, PathStatus::FolderIdUnresolved);
    EXPECT_EQ(programs.record.name, L"MSN.lnk");
    EXPECT_EQ(programs.record.runCount, 14u);

    // A shell object by class id: no file, and no packaged application either.
    const Made object =
        make(L"UEME_RUNPIDL:::{2559A1F4-21D7-11D4-BDAF-00C04F60B9F0}", userAssistXpData(1, 6, 0));
    ASSERT_TRUE(object.made);
    EXPECT_EQ(object.record.pathStatus, PathStatus::NoPathRecorded);
    EXPECT_EQ(object.record.name, L"::{2559A1F4-21D7-11D4-BDAF-00C04F60B9F0}");
    EXPECT_TRUE(object.record.runTimes.empty());
    EXPECT_EQ(object.tally[userAssistNoTimestamp], 1u);
    JoinFacts facts;
    userAssistSource.joinFacts(object.record, facts);
    EXPECT_TRUE(facts.package.empty());

    // A count below where XP starts is no count it wrote: withheld, counted.
    const Made low = make(L"UEME_RUNCPL:desk.cpl", userAssistXpData(1, 4, aStamp));
    ASSERT_TRUE(low.made);
    EXPECT_FALSE(low.record.runCountKnown);
    EXPECT_EQ(low.tally[userAssistXpCountBelowStart], 1u);
    // An XP name with the later layout's 72 bytes is in no shape Windows wrote.
    const Made wrong = make(L"UEME_RUNPATH:C:\\a.exe", userAssistData(1, 1, 1, aStamp));
    EXPECT_FALSE(wrong.made);
    EXPECT_EQ(wrong.tally[userAssistWrongSize], 1u);
    EXPECT_EQ(csidlAsFolderId(L"%CSIDL38%\\x.exe"),
              L"{905E63B6-C1BF-494E-B29C-65B732D3D21A}\\x.exe");
    for (const wchar_t* unchanged : {L"%csidl999%\\x", L"%csidl%\\x", L"%csidl4%\\x", L"%csidl2"}) {
        EXPECT_EQ(csidlAsFolderId(unchanged), unchanged);
    }
}

TEST_F(UserAssistEntryTest, TimestampsAreCountedBesideTheRecord) {
    const FileTime earliest = 122756256000000000ULL;
    const FileTime latest = now + 864000000000ULL;
    struct Case {
        FileTime stamp;
        bool kept;
        std::uint32_t impossible;
    };
    const Case cases[] = {
        {0, false, 0},     {1, false, 1},          {earliest, true, 0}, {earliest - 1, false, 1},
        {latest, true, 0}, {latest + 1, false, 1},
    };
    for (const Case& c : cases) {
        const Made made = make(L"C:\\a.exe", userAssistData(2, 0, 0, c.stamp));
        ASSERT_TRUE(made.made);
        EXPECT_EQ(made.record.runTimes.empty(), !c.kept) << c.stamp;
        EXPECT_EQ(made.tally[userAssistImpossibleDate], c.impossible) << c.stamp;
        EXPECT_EQ(made.tally[userAssistNoTimestamp], c.kept ? 0u : 1u) << c.stamp;
        EXPECT_EQ(made.tally[userAssistParsed], 1u);
    }
}

TEST_F(UserAssistEntryTest, AStampWithNoCountedLaunchIsStillARecord) {
    Made made = make(L"C:\\a.exe", userAssistData(0, 0, 0, aStamp));
    ASSERT_TRUE(made.made);
    EXPECT_EQ(made.tally[userAssistStampOnly], 1u);
    EXPECT_EQ(made.record.runCount, 0u);
    EXPECT_EQ(made.record.runTimes, std::vector<FileTime>{aStamp});

    for (const auto& data : {userAssistData(0, 1, 0, aStamp), userAssistData(0, 0, 1, aStamp),
                             userAssistData(1, 0, 0, aStamp), userAssistData(0, 0, 0, 0),
                             userAssistData(0, 0, 0, 5)}) {
        made = make(L"C:\\a.exe", data);
        EXPECT_EQ(made.tally[userAssistStampOnly], 0u);
    }
    UserAssistEntry entry;
    ASSERT_TRUE(parseUserAssistEntry(userAssistData(0, 0, 0, aStamp).data(), 72, entry));
    EXPECT_TRUE(isStampOnly(entry));
    entry.hasLastRun = false; // a stamp dropped by the date check no longer counts
    EXPECT_FALSE(isStampOnly(entry));
}

TEST_F(UserAssistEntryTest, PathsAndNamesFromTheDecodedName) {
    struct Case {
        std::wstring decoded;
        std::wstring path;
        PathStatus status;
        std::wstring name;
    };
    const Case cases[] = {
        {L"C:\\Tools\\Sub\\app.exe", L"C:\\Tools\\Sub\\app.exe", PathStatus::Resolved, L"app.exe"},
        {L"?:\\x\\y.exe", L"?:\\x\\y.exe", PathStatus::Resolved, L"y.exe"},
        {L"\\\\server\\share\\run.exe", L"\\\\server\\share\\run.exe", PathStatus::Resolved,
         L"run.exe"},
        {L"Tools\\app.exe", L"", PathStatus::NoPathRecorded, L"app.exe"},
        {L"Microsoft.Windows.Explorer", L"", PathStatus::NoPathRecorded,
         L"Microsoft.Windows.Explorer"},
        {L"C:", L"", PathStatus::NoPathRecorded, L"C:"},
        {L"C:\\", L"C:\\", PathStatus::Resolved, L""}, // three characters are enough
        {L"", L"", PathStatus::NoPathRecorded, L""},
        {L"C:\\Folder\\", L"C:\\Folder\\", PathStatus::Resolved, L""},
    };
    for (const Case& c : cases) {
        const Made made = make(c.decoded, userAssistData(1, 1, 1, aStamp));
        ASSERT_TRUE(made.made);
        EXPECT_EQ(made.record.path, c.path) << testing::sumOfAllCounters(made.tally);
        EXPECT_EQ(made.record.pathStatus, c.status);
        EXPECT_EQ(made.record.name, c.name);
    }
}

TEST_F(UserAssistEntryTest, FolderIdsResolveForTheOwnAccountOnlyUnlessMachineWide) {
    // The own hive: any known folder.
    Made made = make(desktopFolderId + L"\\\\tool.lnk", userAssistData(1, 1, 1, aStamp), true);
    EXPECT_EQ(made.record.pathStatus, PathStatus::Resolved);
    EXPECT_EQ(made.record.path, L"C:\\Users\\analyst\\Desktop\\tool.lnk");
    EXPECT_EQ(made.record.name, L"tool.lnk");
    EXPECT_EQ(made.tally[folderIdsUnresolved], 0u);

    // Another user's hive: a per-user folder stays unresolved, both counters rise.
    made = make(desktopFolderId + L"\\tool.lnk", userAssistData(1, 1, 1, aStamp), false);
    EXPECT_EQ(made.record.pathStatus, PathStatus::FolderIdUnresolved);
    EXPECT_EQ(made.record.path, desktopFolderId + L"\\tool.lnk");
    EXPECT_EQ(made.record.name, L"tool.lnk");
    EXPECT_EQ(made.tally[folderIdsUnresolved], 1u);
    EXPECT_EQ(made.tally[folderIdsOtherUser], 1u);
    EXPECT_EQ(made.tally[userAssistParsed], 1u);

    // ... while the system folder resolves, in lower case too.
    std::wstring lowerSystem = L"{1ac14e77-02e7-4e5d-b744-2eb1ae5198b7}";
    made = make(lowerSystem + L"\\cmd.exe", userAssistData(1, 1, 1, aStamp), false);
    EXPECT_EQ(made.record.pathStatus, PathStatus::Resolved);
    EXPECT_EQ(made.record.path, L"C:\\Windows\\system32\\cmd.exe");

    // An unknown folder in the own hive counts only the first counter.
    made = make(L"{00000000-0000-0000-0000-000000000001}\\x.exe", userAssistData(1, 1, 1, aStamp));
    EXPECT_EQ(made.record.pathStatus, PathStatus::FolderIdUnresolved);
    EXPECT_EQ(made.tally[folderIdsUnresolved], 1u);
    EXPECT_EQ(made.tally[folderIdsOtherUser], 0u);
}

TEST_F(UserAssistEntryTest, FolderIdsThatCannotBeResolvedWhateverTheHive) {
    // A braced id alone names a folder, not a launched file.
    Made made = make(systemFolderId, userAssistData(1, 1, 1, aStamp));
    EXPECT_EQ(made.record.pathStatus, PathStatus::FolderIdUnresolved);
    EXPECT_EQ(made.record.path, systemFolderId);
    // A first '}' in the wrong place makes the id unparsable.
    made = make(L"{1AC14E77}-02E7-4E5D-B744-2EB1AE5198B7}\\x.exe", userAssistData(1, 1, 1, aStamp));
    EXPECT_EQ(made.record.pathStatus, PathStatus::FolderIdUnresolved);
    // No closing brace at all.
    made = make(L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7\\x.exe", userAssistData(1, 1, 1, aStamp));
    EXPECT_EQ(made.record.pathStatus, PathStatus::FolderIdUnresolved);
    // A single backslash after the id: the folder itself, and an empty name.
    made = make(systemFolderId + L"\\", userAssistData(1, 1, 1, aStamp));
    EXPECT_EQ(made.record.pathStatus, PathStatus::Resolved);
    EXPECT_EQ(made.record.path, L"C:\\Windows\\system32\\");
    EXPECT_EQ(made.record.name, L"");
}

TEST(KnownFolders, TheMachineWideTableComparesWithoutCase) {
    EXPECT_EQ(std::size(machineWideFolderIds), 15u);
    EXPECT_TRUE(isMachineWideFolderId(L"{905e63b6-c1bf-494e-b29c-65b732d3d21a}"));
    EXPECT_TRUE(isMachineWideFolderId(L"{ED4824AF-DCE4-45A8-81E2-FC7965083634}"));
    EXPECT_FALSE(isMachineWideFolderId(L"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}")); // Desktop
    EXPECT_FALSE(isMachineWideFolderId(L"{905E63B6-C1BF-494E-B29C-65B732D3D21A}x"));
}

TEST(AccountNames, TheNameWithoutDomainOrNothing) {
    fake::resetAll();
    fake::addAccount(L"S-1-5-21-1-2-3-1001", L"analyst");
    fake::addAccount(L"S-1-5-21-9-9-9-1001", L"analyst"); // same name, other domain
    const testing::OpenedMachine thisMachine;
    const auto accountNameForSid = [&thisMachine](const std::wstring& sid) {
        return accountNameOnMachine(thisMachine.machine, sid);
    };
    EXPECT_EQ(accountNameForSid(L"S-1-5-21-1-2-3-1001"), L"analyst");
    EXPECT_EQ(accountNameForSid(L"S-1-5-21-9-9-9-1001"), L"analyst");
    EXPECT_EQ(accountNameForSid(L"S-1-5-21-1-2-3-1002"), L"");
    EXPECT_EQ(accountNameForSid(L"not a sid"), L"");
    EXPECT_EQ(accountNameForSid(L""), L"");
    fake::resetAll();
}

} // namespace
} // namespace tidewell
