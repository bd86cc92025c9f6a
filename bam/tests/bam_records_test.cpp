// The BAM/DAM source: the moderators' values of a copy's current control
// set read whole (both key layouts, both moderators, their bookkeeping and
// the values in no known shape), this machine's device paths placed on the
// drives it mounts them as, and a record as every view shows it and as the
// merge of older states keys it.
#include <gtest/gtest.h>

#include "bam/bam_counters.h"
#include "bam/bam_details.h"
#include "bam/bam_source.h"
#include "bam/sample/bam_values.h"
#include "core/scan_counters.h"
#include "fake/fake_machine.h"
#include "platform/error_codes.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "sample/evidence_tree.h"
#include "scan/state_merge.h"
#include "support/origins.h"
#include "support/scans.h"
#include "ui/coverage_text.h"
#include "ui/detail_text.h"
#include "ui/record_list_logic.h"

namespace tidewell {
namespace {

using sample::writeEvidenceFile;

constexpr FileTime aRun = 133500000000000000ULL;       // 2024-01-17 21:20:00 UTC
constexpr FileTime anotherRun = 133400000000000000ULL; // 2023-09-24
const std::wstring alice = L"S-1-5-21-7-8-9-1001";
const std::wstring bob = L"S-1-5-21-7-8-9-1002";

// The current control set is the second: the first's values are not read.
sample::HiveSpec systemWithModerators() {
    sample::HiveSpec system = sample::systemHive(3, L"EXAMINED");
    sample::bamUserKey(system, L"ControlSet002", L"bam", alice).values = {
        {L"Version", 4, sample::registryDword(1)},
        {L"\\Device\\HarddiskVolume3\\Windows\\System32\\cmd.exe", 3, sample::bamData(aRun)},
        {L"Microsoft.Windows.Photos_8wekyb3d8bbwe", 3, sample::bamData(anotherRun)},
        {L"\\Device\\HarddiskVolume3\\short.exe", 3, {1, 2, 3, 4, 5, 6, 7}},
        {L"\\Device\\HarddiskVolume3\\text.exe", 1, sample::registryText(L"x")},
        {L"\\Device\\HarddiskVolume3\\never.exe", 3, sample::bamData(0)},
        {L"\\Device\\HarddiskVolume3\\future.exe", 3, sample::bamData(0x7FFFFFFFFFFFFFFFULL)},
        {L"SequenceNumber", 4, sample::registryDword(9)},
    };
    sample::bamUserKey(system, L"ControlSet002", L"bam", L"S-1-5-90-0-1"); // an empty SID key
    sample::bamUserKey(system, L"ControlSet002", L"dam", bob, true).values = {
        {L"\\Device\\HarddiskVolume3\\Tools\\old.exe", 3, sample::bamData(anotherRun)}};
    sample::bamUserKey(system, L"ControlSet001", L"bam", alice).values = {
        {L"\\Device\\HarddiskVolume3\\stale.exe", 3, sample::bamData(aRun)}};
    return system;
}

class BamEvidence : public ::testing::Test {
protected:
    void SetUp() override {
        writeEvidenceFile(root.path, "Windows/System32/config/SOFTWARE",
                          sample::writeHive(sample::softwareHive(
                              {{alice, L"C:\\Users\\alice"}, {bob, L"C:\\Users\\bob"}})));
        writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM",
                          sample::writeHive(systemWithModerators()));
        writeEvidenceFile(root.path, "Windows/Prefetch/.keep", {});
    }
    testing::TempFolder root;
};

TEST_F(BamEvidence, TheModeratorsValuesOfTheCurrentControlSetAreEachARecord) {
    const ScanResults results = testing::scanEvidence(root.path);
    const SourceReading reading = readingOf(results.origin, bamSource);
    EXPECT_EQ(reading.presence, SourcePresence::Read);
    EXPECT_EQ(reading.note, L"bam\\State\\UserSettings; dam\\UserSettings");
    const std::vector<const LaunchRecord*> bam = testing::recordsOf(results, bamSource);
    ASSERT_EQ(bam.size(), 5u) << "cmd, Photos, never, future, old";

    const LaunchRecord* cmd = testing::recordNamed(bam, L"cmd.exe");
    ASSERT_NE(cmd, nullptr);
    // A copy proves no drive for the kernel's volume names: kept as recorded.
    EXPECT_EQ(cmd->path, L"\\Device\\HarddiskVolume3\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(cmd->pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(cmd->runTimes, std::vector<std::uint64_t>{aRun});
    EXPECT_EQ(cmd->runCountKnown, 0) << "a moderator counts no runs";
    EXPECT_EQ(cmd->userSid, alice);
    EXPECT_EQ(cmd->userName, L"alice") << "the profile folder's name stands for the account";
    EXPECT_EQ(bamDetails(*cmd)->desktopModerator, 0);

    const LaunchRecord* photos =
        testing::recordNamed(bam, L"Microsoft.Windows.Photos_8wekyb3d8bbwe");
    ASSERT_NE(photos, nullptr);
    EXPECT_EQ(photos->pathStatus, PathStatus::NoPathRecorded);
    EXPECT_EQ(bamDetails(*photos)->packagedApplication, 1);

    const LaunchRecord* old = testing::recordNamed(bam, L"old.exe");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(bamDetails(*old)->desktopModerator, 1);
    EXPECT_EQ(old->userName, L"bob");
    // No time, and an impossible one withheld: records without a run time.
    EXPECT_TRUE(testing::recordNamed(bam, L"never.exe")->runTimes.empty());
    EXPECT_TRUE(testing::recordNamed(bam, L"future.exe")->runTimes.empty());

    const ScanTally& tally = results.tally;
    EXPECT_EQ(tally[bamSeen], 9u);
    EXPECT_EQ(tally[bamBookkeepingSkipped], 2u);
    EXPECT_EQ(tally[bamUnknownShape], 2u) << "seven bytes, and text";
    EXPECT_EQ(tally[bamParsed], 5u);
    EXPECT_EQ(tally[bamNoTime], 1u);
    EXPECT_EQ(tally[bamImpossibleDate], 1u);
    EXPECT_EQ(tally[bamKeysUnreadable], 0u);
    EXPECT_EQ(tally[bamSeen],
              tally[bamBookkeepingSkipped] + tally[bamUnknownShape] + tally[bamParsed])
        << "every value ends in one outcome";
}

TEST_F(BamEvidence, TheReportAndTheBannerStateItAfterEverySharedLine) {
    const ScanResults results = testing::scanEvidence(root.path);
    const std::wstring header = buildReportHeader(results.tally, results.facts, results.origin);
    EXPECT_NE(header.find(L"\r\n# BAM/DAM,read (bam\\State\\UserSettings; dam\\UserSettings)\r\n"),
              std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n# BAM/DAM values in an unknown shape (not binary, or shorter than "
                          L"a time),2\r\n"),
              std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n# BAM/DAM keeps only the last run of each program for each "
                          L"user.\r\n"),
              std::wstring::npos);
    EXPECT_LT(header.find(L"# prefetch run times out of time order"),
              header.find(L"# BAM/DAM,read"));
    const std::wstring banner = bannerText(results.tally, results.facts, results.origin);
    EXPECT_NE(banner.find(L"BAM/DAM keeps only each program's last run for each user."),
              std::wstring::npos)
        << testing::narrow(banner);
}

TEST(BamUnreadSystemHive, ItIsUnreadableAndCountedOnlyWhereTheHiveWasOpened) {
    testing::TempFolder root;
    writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM", {'n', 'o', 'p', 'e'});
    writeEvidenceFile(root.path, "Windows/Prefetch/.keep", {});
    const ScanResults results = testing::scanEvidence(root.path);
    EXPECT_EQ(readingOf(results.origin, bamSource).presence, SourcePresence::Unreadable);
    EXPECT_EQ(results.tally[bamKeysUnreadable], 0u);
    EXPECT_NE(results.tally[systemHivesUnreadable], 0u) << "counted where it was opened";
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin).find(L"Could not be read: "),
              std::wstring::npos);
}

const std::wstring ownSid = L"S-1-5-21-100-200-300-1001";

class BamThisMachine : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setFixedNow(133616736000000000ULL);
        fake::setOwnSid(ownSid);
        fake::addAccount(ownSid, L"examiner");
        fake::createRegistryKey(RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet");
        fake::setWindowsDirectory(windows.text());
    }
    void TearDown() override { fake::resetAll(); }
    const std::wstring key =
        L"SYSTEM\\CurrentControlSet\\Services\\bam\\State\\UserSettings\\" + ownSid;
    testing::TempFolder windows;
};

TEST_F(BamThisMachine, DevicePathsArePlacedOnTheDrivesThisMachineMountsThemAs) {
    fake::setVolumes(
        {{L"\\\\?\\Volume{a}\\", 1, false, {L"C:\\"}, false, L"\\Device\\HarddiskVolume3"},
         {L"\\\\?\\Volume{b}\\", 2, false, {L"D:\\Data\\"}, false, L"\\Device\\HarddiskVolume4"}});
    fake::setRegistryValue(RegistryRoot::LocalMachine, key,
                           L"\\Device\\HarddiskVolume3\\Windows\\System32\\cmd.exe",
                           registryTypeBinary, sample::bamData(aRun));
    fake::setRegistryValue(RegistryRoot::LocalMachine, key,
                           L"\\Device\\HarddiskVolume30\\Tools\\near.exe", registryTypeBinary,
                           sample::bamData(aRun));
    fake::setRegistryValue(RegistryRoot::LocalMachine, key,
                           L"\\Device\\HarddiskVolume4\\folder.exe", registryTypeBinary,
                           sample::bamData(aRun));
    const ScanResults results = testing::scanThisMachine();
    EXPECT_EQ(readingOf(results.origin, bamSource).presence, SourcePresence::Read);
    const std::vector<const LaunchRecord*> bam = testing::recordsOf(results, bamSource);
    const LaunchRecord* cmd = testing::recordNamed(bam, L"cmd.exe");
    ASSERT_NE(cmd, nullptr);
    EXPECT_EQ(cmd->path, L"C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(cmd->pathStatus, PathStatus::Resolved);
    EXPECT_EQ(cmd->userName, L"examiner");
    const LaunchRecord* near = testing::recordNamed(bam, L"near.exe");
    ASSERT_NE(near, nullptr);
    EXPECT_EQ(near->pathStatus, PathStatus::VolumeNotIdentified)
        << "HarddiskVolume3 is no prefix of HarddiskVolume30";
    const LaunchRecord* folder = testing::recordNamed(bam, L"folder.exe");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->pathStatus, PathStatus::VolumeNotIdentified)
        << "a volume mounted only in a folder has no drive";
    const std::wstring detail = buildDetailText(*cmd, DetailContext{});
    EXPECT_NE(detail.find(L"Placed on the drive this machine's kernel gives that volume now: "
                          L"\\Device\\HarddiskVolume3\\Windows\\System32\\cmd.exe"),
              std::wstring::npos)
        << testing::narrow(detail);
}

TEST_F(BamThisMachine, SystemKeysThatCannotBeOpenedAreCounted) {
    fake::failRegistryOpen(RegistryRoot::LocalMachine, L"SYSTEM", ERROR_ACCESS_DENIED);
    const ScanResults results = testing::scanThisMachine();
    EXPECT_EQ(readingOf(results.origin, bamSource).presence, SourcePresence::Unreadable);
    EXPECT_EQ(results.tally[bamKeysUnreadable], 1u);
}

const DetailContext copy{L"", true, TimeBasis::Utc};

LaunchRecord bamRecord() {
    LaunchRecord record = makeRecord(bamSource);
    record.name = L"cmd.exe";
    record.path = L"\\Device\\HarddiskVolume3\\Windows\\cmd.exe";
    record.pathStatus = PathStatus::VolumeNotIdentified;
    record.runTimes = {aRun};
    record.userSid = L"S-1-5-21-1-2-3-1001";
    record.userName = L"alice";
    bamDetails(record)->recordedName = record.path;
    return record;
}

TEST(BamRecord, ItsDetailTextWhole) {
    EXPECT_EQ(buildDetailText(bamRecord(), copy),
              L"cmd.exe\r\n"
              L"\r\n"
              L"Source:            BAM/DAM (the activity moderators' record of each user's last "
              L"run)\r\n"
              L"Path:              \\Device\\HarddiskVolume3\\Windows\\cmd.exe\r\n"
              L"Path status:       volume not identified  \u2014 the kernel's name for a volume; "
              L"the examined\r\n"
              L"                   machine's files do not say which drive it was\r\n"
              L"User:              alice\r\n"
              L"User SID:          S-1-5-21-1-2-3-1001\r\n"
              L"Moderator:         Background Activity Moderator (bam)\r\n"
              L"Recorded name:     \\Device\\HarddiskVolume3\\Windows\\cmd.exe\r\n"
              L"\r\n"
              L"Recorded run times (the last run the moderator kept for this user):\r\n"
              L"    2024-01-17 21:20:00 UTC\r\n"
              L"\r\n"
              L"    The moderator keeps only each program's last run for each user, not\r\n"
              L"    how often it ran.\r\n");
}

TEST(BamRecord, ItsLastRunIsARunAndItCountsNone) {
    EXPECT_EQ(cellText(bamRecord(), columnRuns), L"") << "the moderator counts no runs";
    EXPECT_EQ(cellText(bamRecord(), columnLastRun, TimeBasis::Utc), L"2024-01-17 21:20:00");
    LaunchRecord without = bamRecord();
    without.runTimes.clear();
    EXPECT_EQ(cellText(without, columnLastRun), L"not recorded");
    EXPECT_EQ(buildRecordLine(bamRecord(), TimeBasis::Utc),
              L"\"BAM/DAM\",\"cmd.exe\",\"\\Device\\HarddiskVolume3\\Windows\\cmd.exe\","
              L"\"volume not identified\",\"\",\"2024-01-17 21:20:00\",\"2024-01-17 21:20:00\","
              L"\"alice\",\"S-1-5-21-1-2-3-1001\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    const std::string json = jsonReportRecord(bamRecord(), testing::allSources(), true);
    EXPECT_NE(json.find("\"moderator\":\"bam\",\"recorded_name\":"), std::string::npos) << json;
    const TimelineScan scan =
        timelineScan(ScanTally{}, ScanFacts{}, testing::thisMachineOrigin(L"PC7"));
    const std::string events = timelineEvents(bamRecord(), 1, scan);
    EXPECT_NE(events.find("\"timestamp_desc\":\"BAM/DAM: last run\""), std::string::npos);
    EXPECT_NE(events.find("\"run_index\":1"), std::string::npos);
    EXPECT_EQ(testing::linesIn(events), 1u);
}

// The moderators keep one last run per program and user: an older copy's
// is an earlier run of the same record, another user's another record.
TEST(BamRecord, OlderStatesAddEarlierRunsOfTheSameUsersProgram) {
    const auto bam = [](const std::wstring& sid, FileTime run) {
        LaunchRecord record = makeRecord(bamSource);
        record.name = L"cmd.exe";
        record.userSid = sid;
        record.runTimes = {run};
        bamDetails(record)->recordedName = L"\\Device\\HarddiskVolume3\\cmd.exe";
        return record;
    };
    RecordList records = {bam(alice, aRun)};
    markCurrentState(records);
    RecordList older = {bam(alice, anotherRun), bam(bob, anotherRun)};
    ScanTally tally;
    mergeOlderState(records, older, 1, tally);
    orderMergedRunTimes(records);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].runTimes, (std::vector<std::uint64_t>{aRun, anotherRun}));
    EXPECT_EQ(records[0].runTimeCopies, (std::vector<CopyIndex>{0, 1}));
    EXPECT_EQ(records[1].userSid, bob);
    EXPECT_EQ(records[1].copies, (std::vector<CopyIndex>{1}));
}

} // namespace
} // namespace tidewell
