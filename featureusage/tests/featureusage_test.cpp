// The taskbar's counts: each key and what its records prove, values in no
// shape a count has, names of every kind placed as the user's hive places
// them, and whole scans of a written drive and of a real user's hive.
#include <gtest/gtest.h>

#include "featureusage/featureusage_counters.h"
#include "featureusage/featureusage_details.h"
#include "featureusage/featureusage_reader.h"
#include "featureusage/featureusage_source.h"
#include "featureusage/sample/featureusage_keys.h"
#include "sample/evidence_tree.h"
#include "support/scans.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

const std::wstring alice = L"S-1-5-21-7-8-9-1001";

KeyValue countValue(const std::wstring& name, std::uint32_t count) {
    return {name, 4, sample::registryDword(count)};
}

TEST(FeatureUsageValue, EachKeyCountsAndProvesItsOwnThing) {
    FolderTable folders;
    folders.folders.push_back(
        {L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}", L"C:\\Windows\\system32", false});
    RegistryKey none;
    const UserHive hive{alice, L"alice", &none, false, &folders};
    struct Case {
        FeatureUsageKey key;
        const wchar_t* name;
        const wchar_t* path;
        PathStatus status;
        Proves proves;
        const wchar_t* detail;
    };
    const Case cases[] = {
        {FeatureUsageKey::AppLaunch, L"Microsoft.Windows.Explorer", L"", PathStatus::NoPathRecorded,
         Proves::Ran, L"AppLaunch: 3 launches from the taskbar"},
        {FeatureUsageKey::AppSwitched, L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\cmd.exe",
         L"C:\\Windows\\system32\\cmd.exe", PathStatus::Resolved, Proves::Interacted,
         L"AppSwitched: 3 switches to it"},
        {FeatureUsageKey::ShowJumpView, L"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}\\x.exe",
         L"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}\\x.exe", PathStatus::FolderIdUnresolved,
         Proves::Interacted, L"ShowJumpView: jump list opened 3 times"},
        {FeatureUsageKey::AppSwitched, L"C:\\Users\\tony\\\u05D0\u05D7\\pestudio.exe",
         L"C:\\Users\\tony\\\u05D0\u05D7\\pestudio.exe", PathStatus::Resolved, Proves::Interacted,
         L"AppSwitched: 3 switches to it"},
    };
    for (const Case& one : cases) {
        ScanTally tally;
        LaunchRecord record;
        ASSERT_TRUE(
            makeFeatureUsageRecord(one.key, countValue(one.name, 3), 77, hive, tally, record));
        EXPECT_EQ(record.path, one.path);
        EXPECT_EQ(record.pathStatus, one.status);
        EXPECT_EQ(provesOf(record), one.proves);
        EXPECT_EQ(featureUsageSource.listDetail(record), one.detail);
        EXPECT_EQ(record.userSid, alice);
        EXPECT_EQ(tally[featureUsageValuesRead], 1u);
        EXPECT_TRUE(record.runTimes.empty()) << "a key's writing is no run";
    }
    LaunchRecord app;
    ScanTally tally;
    ASSERT_TRUE(makeFeatureUsageRecord(FeatureUsageKey::AppLaunch,
                                       countValue(L"Microsoft.WindowsStore_8wekyb3d8bbwe!App", 1),
                                       77, hive, tally, app));
    JoinFacts facts;
    featureUsageSource.joinFacts(app, facts);
    EXPECT_EQ(facts.package, L"Microsoft.WindowsStore_8wekyb3d8bbwe!App");
    std::vector<NamedTime> times;
    featureUsageSource.namedTimes(app, times);
    ASSERT_EQ(times.size(), 1u);
    EXPECT_EQ(times[0].time, 77u);
    EXPECT_EQ(std::wstring(times[0].meaning), L"FeatureUsage: AppLaunch key last written");

    // A name ending in a separator names no file: the record keeps it whole.
    LaunchRecord folder;
    ASSERT_TRUE(makeFeatureUsageRecord(FeatureUsageKey::AppSwitched, countValue(L"C:\\Tools\\", 1),
                                       0, hive, tally, folder));
    EXPECT_EQ(folder.name, L"C:\\Tools\\");

    // Not a count: text, a QWORD, no data, no name.
    for (const KeyValue& wrong : {KeyValue{L"a", 1, sample::registryText(L"3")},
                                  KeyValue{L"b", 11, std::vector<std::uint8_t>(8, 1)},
                                  KeyValue{L"c", 4, {}}, countValue(L"", 3)}) {
        ScanTally counted;
        LaunchRecord record;
        EXPECT_FALSE(
            makeFeatureUsageRecord(FeatureUsageKey::AppLaunch, wrong, 0, hive, counted, record));
        EXPECT_EQ(counted[featureUsageWrongShape], 1u);
    }
}

void writeDrive(const std::filesystem::path& root) {
    sample::writeEvidenceFile(
        root, "Windows/System32/config/SOFTWARE",
        sample::writeHive(sample::softwareHive({{alice, L"C:\\Users\\alice"}})));
    sample::writeEvidenceFile(root, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root, "Windows/Prefetch/.keep", {});
}

TEST(FeatureUsageEvidence, EveryKeyOfAUsersHiveIsReadAndOthersLeft) {
    testing::TempFolder root;
    writeDrive(root.path);
    sample::HiveSpec hive;
    sample::addFeatureUsageCounts(hive.root, L"AppLaunch", {{L"Chrome", 28}});
    sample::addFeatureUsageCounts(
        hive.root, L"AppSwitched",
        {{L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\cmd.exe", 210}, {L"*PID00003350", 1}});
    sample::addFeatureUsageCounts(hive.root, L"ShowJumpView",
                                  {{L"{905E63B6-C1BF-494E-B29C-65B732D3D21A}\\a\\a.exe", 2}});
    sample::addFeatureUsageCounts(hive.root, L"TrayButtonClicked", {{L"Clock", 9}});
    sample::keyAt(hive.root, std::wstring(featureUsageKeyPath) + L"\\AppLaunch")
        .values.push_back(sample::textValue(L"broken", L"x"));
    sample::writeEvidenceFile(root.path, "Users/alice/NTUSER.DAT", sample::writeHive(hive));
    const ScanResults results = testing::scanEvidence(root.path);
    const SourceReading reading = readingOf(results.origin, featureUsageSource);
    EXPECT_EQ(reading.presence, SourcePresence::Read);
    EXPECT_EQ(reading.note, L"AppLaunch, AppSwitched and ShowJumpView of 1 of 1 users' hives");
    EXPECT_EQ(results.tally[featureUsageValuesRead], 4u);
    EXPECT_EQ(results.tally[featureUsageWrongShape], 1u);
    EXPECT_TRUE(results.anyFailure);
    const std::vector<const LaunchRecord*> records =
        testing::recordsOf(results, featureUsageSource);
    ASSERT_EQ(records.size(), 4u);
    const LaunchRecord* cmd = testing::recordNamed(records, L"cmd.exe");
    ASSERT_NE(cmd, nullptr);
    EXPECT_EQ(cmd->path, L"C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(cmd->userName, L"alice");
    DetailContext context;
    context.evidence = true;
    context.times = TimeBasis::Utc;
    const std::wstring detail = buildDetailText(*cmd, context);
    EXPECT_NE(detail.find(L"Count:             210 switches to it\r\n"), std::wstring::npos)
        << testing::narrow(detail);
    EXPECT_NE(detail.find(L"Key last written:  2023-"), std::wstring::npos);
    // The user hives are loaded and counted once, whichever sources read them.
    std::size_t listed = 0;
    for (const ExaminedHive& examined : results.origin.hives) {
        listed += examined.hive == L"NTUSER.DAT" ? 1 : 0;
    }
    EXPECT_EQ(listed, 1u);
    EXPECT_EQ(results.facts.profilesExamined, 1u);

    testing::TempFolder without;
    writeDrive(without.path);
    sample::writeEvidenceFile(without.path, "Users/alice/NTUSER.DAT",
                              sample::writeHive(sample::HiveSpec{}));
    const ScanResults none = testing::scanEvidence(without.path);
    EXPECT_EQ(readingOf(none.origin, featureUsageSource).presence, SourcePresence::NotPresent);
}

TEST(FeatureUsageCorpus, ARealUsersCountsAreReadEvery) {
    TIDEWELL_REQUIRE_CORPUS("sources/registry");
    testing::TempFolder root;
    writeDrive(root.path);
    sample::writeEvidenceFile(
        root.path, "Users/alice/NTUSER.DAT",
        testing::readWholeFile(testing::corpusRoot() /
                               "sources/registry/regipy/NTUSER_with_winscp.DAT"));
    const ScanResults results = testing::scanEvidence(root.path);
    const std::vector<const LaunchRecord*> records =
        testing::recordsOf(results, featureUsageSource);
    // AppLaunch 5, AppSwitched 48, ShowJumpView 8; the other keys are not
    // records of a start.
    EXPECT_EQ(records.size(), 61u);
    EXPECT_EQ(results.tally[featureUsageWrongShape], 0u);
    std::size_t ran = 0;
    std::size_t unplaced = 0;
    for (const LaunchRecord* record : records) {
        ran += provesOf(*record) == Proves::Ran ? 1 : 0;
        unplaced += record->pathStatus == PathStatus::FolderIdUnresolved ? 1 : 0;
    }
    EXPECT_EQ(ran, 5u);
    EXPECT_EQ(unplaced, 0u) << "every folder id there is a machine-wide one";
    const LaunchRecord* winscp = testing::recordNamed(records, L"WinSCP.exe");
    ASSERT_NE(winscp, nullptr);
    EXPECT_EQ(winscp->path, L"C:\\Program Files (x86)\\WinSCP\\WinSCP.exe");
}

} // namespace
} // namespace tidewell
