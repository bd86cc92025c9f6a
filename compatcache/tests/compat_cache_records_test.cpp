// The compatibility cache source: a copy's value of its current control set
// read entry by entry (a drive path, the system volume, a packaged
// application, a share), this machine's value with what it leaves out said,
// and an entry as every view shows it (its time the file's, never a run)
// and as the merge of older states keys it.
#include <gtest/gtest.h>

#include "compatcache/compat_cache_counters.h"
#include "compatcache/compat_cache_details.h"
#include "compatcache/compat_cache_source.h"
#include "compatcache/sample/compat_cache_values.h"
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

constexpr FileTime aTime = 133500000000000000ULL;       // 2024-01-17 21:20:00 UTC
constexpr FileTime anotherTime = 133400000000000000ULL; // 2023-09-24

std::vector<std::uint8_t> fourEntries() {
    return sample::compatCacheValue(
        sample::CacheLayoutSpec::Windows10Creators,
        {{L"C:\\Tools\\run.exe", aTime, 0, 0, {9, 9, 9, 9}, L""},
         {L"SYSVOL\\Windows\\notepad.exe", anotherTime, 0, 0, {}, L""},
         {L"0000000b\t0006000200000000\t000a000000000000\t8664\tMicrosoft.WindowsStore\t"
          L"8wekyb3d8bbwe\tneutral",
          0,
          0,
          0,
          {},
          L""},
         {L"\\\\server\\share\\remote.exe", aTime, 0, 0, {}, L""}},
        1024);
}

TEST(CompatCacheEvidence, EveryEntryWithItsFileTimeNotARun) {
    testing::TempFolder root;
    sample::HiveSpec system = sample::systemHive(3, L"EXAMINED");
    sample::compatCacheKey(system, L"ControlSet002").values = {
        {L"AppCompatCache", 3, fourEntries()}};
    writeEvidenceFile(root.path, "Windows/System32/config/SOFTWARE",
                      sample::writeHive(sample::softwareHive({})));
    writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM", sample::writeHive(system));
    writeEvidenceFile(root.path, "Windows/Prefetch/.keep", {});
    const ScanResults results = testing::scanEvidence(root.path);

    const SourceReading reading = readingOf(results.origin, appCompatCacheSource);
    EXPECT_EQ(reading.presence, SourcePresence::Read);
    EXPECT_EQ(reading.note, L"Windows 10 1703 and later or Windows 11");
    const std::vector<const LaunchRecord*> cache =
        testing::recordsOf(results, appCompatCacheSource);
    ASSERT_EQ(cache.size(), 4u);
    for (const LaunchRecord* record : cache) {
        EXPECT_TRUE(record->runTimes.empty()) << "its time is no run";
    }
    const LaunchRecord* run = testing::recordNamed(cache, L"run.exe");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->path, L"C:\\Tools\\run.exe");
    EXPECT_EQ(run->pathStatus, PathStatus::Resolved);
    EXPECT_EQ(appCompatCacheDetails(*run)->modified, aTime);
    EXPECT_EQ(appCompatCacheDetails(*run)->position, 1u);
    EXPECT_EQ(appCompatCacheDetails(*run)->entryData, (std::vector<std::uint8_t>{9, 9, 9, 9}));
    // SYSVOL is the system volume: placed on the drive the registry records.
    const LaunchRecord* notepad = testing::recordNamed(cache, L"notepad.exe");
    ASSERT_NE(notepad, nullptr);
    EXPECT_EQ(notepad->path, L"C:\\Windows\\notepad.exe");
    EXPECT_EQ(notepad->pathStatus, PathStatus::Resolved);
    // A packaged application: named by its package, no path, no time.
    const LaunchRecord* store = testing::recordNamed(cache, L"Microsoft.WindowsStore");
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->pathStatus, PathStatus::NoPathRecorded);
    EXPECT_EQ(appCompatCacheDetails(*store)->modified, 0u);
    EXPECT_EQ(testing::recordNamed(cache, L"remote.exe")->pathStatus,
              PathStatus::VolumeNotIdentified);
    EXPECT_EQ(results.tally[compatCacheEntriesRead], 4u);
    EXPECT_EQ(results.tally[compatCacheCountDisagrees], 1u) << "1,024 stated, four there";
    EXPECT_EQ(results.tally[compatCacheEntriesMalformed], 0u);
    EXPECT_EQ(results.tally[compatCacheWalkStopped], 0u);

    const std::wstring header = buildReportHeader(results.tally, results.facts, results.origin);
    EXPECT_NE(header.find(L"\r\n# AppCompatCache,read (Windows 10 1703 and later or Windows 11)"),
              std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n# AppCompatCache lists files Windows looked at; a row is not"),
              std::wstring::npos);
    const std::wstring banner = bannerText(results.tally, results.facts, results.origin);
    EXPECT_NE(banner.find(L"The compatibility cache lists files Windows looked at"),
              std::wstring::npos);
    EXPECT_EQ(banner.find(L"Windows writes this machine's"), std::wstring::npos)
        << "a copy's cache is not this machine's";
}

TEST(CompatCacheUnreadSystemHive, ItIsUnreadableAndCountedOnlyWhereTheHiveWasOpened) {
    testing::TempFolder root;
    writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM", {'n', 'o', 'p', 'e'});
    writeEvidenceFile(root.path, "Windows/Prefetch/.keep", {});
    const ScanResults results = testing::scanEvidence(root.path);
    EXPECT_EQ(readingOf(results.origin, appCompatCacheSource).presence, SourcePresence::Unreadable);
    EXPECT_EQ(results.tally[compatCacheUnreadable], 0u);
    EXPECT_NE(results.tally[systemHivesUnreadable], 0u) << "counted where it was opened";
    EXPECT_NE(
        bannerText(results.tally, results.facts, results.origin).find(L"the compatibility cache."),
        std::wstring::npos);
}

class CompatCacheThisMachine : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::createRegistryKey(RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet");
        fake::setWindowsDirectory(windows.text());
    }
    void TearDown() override { fake::resetAll(); }
    testing::TempFolder windows;
};

TEST_F(CompatCacheThisMachine, TheLiveCacheIsSaidToLeaveOutWhatCameSinceTheLastStart) {
    fake::setRegistryValue(RegistryRoot::LocalMachine,
                           L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\AppCompatCache",
                           L"AppCompatCache", registryTypeBinary,
                           sample::compatCacheValue(sample::CacheLayoutSpec::Windows10Creators,
                                                    {{L"C:\\Tools\\x.exe", aTime, 0, 0, {}, L""}}));
    const ScanResults results = testing::scanThisMachine();
    EXPECT_EQ(readingOf(results.origin, appCompatCacheSource).presence, SourcePresence::Read);
    const std::wstring note = L"Windows writes this machine's compatibility cache when it shuts "
                              L"down: what it saw since it last started is not in it.";
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin).find(note),
              std::wstring::npos);
    EXPECT_NE(
        buildReportHeader(results.tally, results.facts, results.origin)
            .find(L"# AppCompatCache,read (Windows 10 1703 and later or Windows 11) - " + note),
        std::wstring::npos);
    const std::vector<const LaunchRecord*> cache =
        testing::recordsOf(results, appCompatCacheSource);
    const LaunchRecord* entry = testing::recordNamed(cache, L"x.exe");
    ASSERT_NE(entry, nullptr);
    EXPECT_NE(buildDetailText(*entry, DetailContext{}).find(L"Windows writes this machine's cache"),
              std::wstring::npos);
}

TEST_F(CompatCacheThisMachine, SystemKeysThatCannotBeOpenedAreCounted) {
    fake::failRegistryOpen(RegistryRoot::LocalMachine, L"SYSTEM", ERROR_ACCESS_DENIED);
    const ScanResults results = testing::scanThisMachine();
    EXPECT_EQ(readingOf(results.origin, appCompatCacheSource).presence, SourcePresence::Unreadable);
    EXPECT_EQ(results.tally[compatCacheUnreadable], 1u);
}

const DetailContext live{L"S-1-5-21-1-2-3-1001", false, TimeBasis::Utc};
const DetailContext copy{L"", true, TimeBasis::Utc};

LaunchRecord cacheRecord() {
    LaunchRecord record = makeRecord(appCompatCacheSource);
    record.name = L"x.exe";
    record.path = L"C:\\Tools\\x.exe";
    record.pathStatus = PathStatus::Resolved;
    AppCompatCacheDetails& details = *appCompatCacheDetails(record);
    details.position = 3;
    details.modified = aTime;
    details.hasFlags = 1;
    details.insertionFlags = 0x2;
    details.shimFlags = 0x100;
    details.entryData = {0xAB, 0x01};
    details.recordedPath = L"\\??\\C:\\Tools\\x.exe";
    details.layout = L"Windows 7 or Server 2008 R2 (64-bit)";
    return record;
}

TEST(CompatCacheRecord, ItsTimeIsTheFilesAndNoRunAtAll) {
    const std::wstring text = buildDetailText(cacheRecord(), copy);
    EXPECT_EQ(text.find(L"Times run:"), std::wstring::npos) << "the cache counts no runs";
    EXPECT_EQ(text.find(L"Recorded run times"), std::wstring::npos) << "its time is no run";
    for (const wchar_t* line :
         {L"Cache position:    3 (1 is the entry Windows added or used last)\r\n",
          L"Cache layout:      Windows 7 or Server 2008 R2 (64-bit)\r\n",
          L"Recorded path:     \\??\\C:\\Tools\\x.exe\r\n",
          L"File modified:     2024-01-17 21:20:00 UTC (the file's time as the cache holds it)\r\n",
          L"Insertion flags:   0x00000002\r\n", L"Shim flags:        0x00000100\r\n",
          L"Entry data:        2 bytes: ab01\r\n",
          L"    file, not that it ran. Its time is the file's modification time, not a\r\n",
          L"    recorded, and no flag is read as \"executed\".\r\n"}) {
        EXPECT_NE(text.find(line), std::wstring::npos) << testing::narrow(line);
    }
    EXPECT_EQ(text.find(L"shuts down"), std::wstring::npos) << "a copy's cache";
    EXPECT_NE(buildDetailText(cacheRecord(), live)
                  .find(L"Windows writes this machine's cache "
                        L"when it shuts down"),
              std::wstring::npos);
    LaunchRecord packaged = cacheRecord();
    appCompatCacheDetails(packaged)->modified = 0;
    appCompatCacheDetails(packaged)->hasFlags = 0;
    const std::wstring noTime = buildDetailText(packaged, copy);
    EXPECT_NE(noTime.find(L"File modified:     none recorded\r\n"), std::wstring::npos);
    EXPECT_EQ(noTime.find(L"1601"), std::wstring::npos) << "never a time of 0 as a date";
    EXPECT_EQ(noTime.find(L"Shim flags"), std::wstring::npos);
}

TEST(CompatCacheRecord, ItsTimeStaysOutOfTheRunColumnsAndStandsUnderItsName) {
    EXPECT_EQ(cellText(cacheRecord(), columnLastRun), L"");
    EXPECT_EQ(cellText(cacheRecord(), columnSource), L"AppCompatCache");
    EXPECT_EQ(cellText(cacheRecord(), columnDetail), L"entry 3 of the cache");
    EXPECT_EQ(buildRecordLine(cacheRecord(), TimeBasis::Utc),
              L"\"AppCompatCache\",\"x.exe\",\"C:\\Tools\\x.exe\",\"resolved\",\"\",\"\",\"\","
              L"\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    const std::string json = jsonReportRecord(cacheRecord(), testing::allSources(), true);
    EXPECT_NE(json.find("\"insertion_flags\":\"0x00000002\",\"shim_flags\":\"0x00000100\","
                        "\"cache_entry_data\":\"ab01\""),
              std::string::npos);
    EXPECT_NE(json.find("\"run_times\":[]"), std::string::npos);
    const TimelineScan scan =
        timelineScan(ScanTally{}, ScanFacts{}, testing::thisMachineOrigin(L"PC7"));
    const std::string events = timelineEvents(cacheRecord(), 1, scan);
    EXPECT_NE(events.find("\"timestamp_desc\":\"AppCompatCache: file modified\""),
              std::string::npos);
    EXPECT_NE(events.find("the entry does not show that it ran"), std::string::npos);
    LaunchRecord packaged = cacheRecord();
    appCompatCacheDetails(packaged)->modified = 0;
    EXPECT_EQ(timelineEvents(packaged, 1, scan), "") << "no time, no event";
}

// A cache entry of an older copy is the same one where its file's time is,
// and another observation, kept apart, where it is not.
TEST(CompatCacheRecord, OlderStatesKeepAnEntryOfAnotherFileTimeApart) {
    const auto cache = [](FileTime modified, std::uint32_t position) {
        LaunchRecord record = makeRecord(appCompatCacheSource);
        record.name = L"x.exe";
        appCompatCacheDetails(record)->recordedPath = L"C:\\x.exe";
        appCompatCacheDetails(record)->modified = modified;
        appCompatCacheDetails(record)->position = position;
        return record;
    };
    RecordList records = {cache(aTime, 1)};
    markCurrentState(records);
    RecordList older = {cache(aTime, 7), cache(anotherTime, 9)};
    ScanTally tally;
    mergeOlderState(records, older, 1, tally);
    orderMergedRunTimes(records);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].copies, (std::vector<CopyIndex>{0, 1})) << "the same entry";
    EXPECT_EQ(appCompatCacheDetails(records[0])->position, 1u) << "the current state's place";
    EXPECT_EQ(appCompatCacheDetails(records[1])->modified, anotherTime);
    EXPECT_EQ(records[1].copies, (std::vector<CopyIndex>{1})) << "an older file, apart";
}

} // namespace
} // namespace tidewell
