// The Amcache source: a copy's hive brought up to date from its log and
// read in both layouts, this machine's hive held open by the running
// Windows (said, not failed), and an entry as every view shows it: its
// times each under its own name, never a run.
#include <gtest/gtest.h>

#include "amcache/amcache_counters.h"
#include "amcache/amcache_details.h"
#include "amcache/amcache_source.h"
#include "amcache/sample/amcache_hives.h"
#include "core/scan_counters.h"
#include "fake/fake_machine.h"
#include "platform/error_codes.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "sample/evidence_tree.h"
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

sample::HiveSpec amcacheWith(const std::vector<sample::AmcacheInventorySpec>& inventory) {
    return sample::amcacheHive(inventory,
                               {{L"{cafe0000-0000-0000-0000-000000000000}", L"100001605a",
                                 L"c:\\tools\\legacy.exe", L"0000" + std::wstring(40, L'b'),
                                 anotherTime, anotherTime - 10000000, 1600000000, 4096}});
}

const sample::AmcacheInventorySpec notepad = {L"notepad.exe|5c2fc6ee0db3d40d",
                                              L"c:\\windows\\system32\\notepad.exe",
                                              L"notepad.exe",
                                              L"0000" + std::wstring(40, L'a'),
                                              L"microsoft corporation",
                                              L"10.0.19041.1",
                                              L"12/26/2021 14:00:00",
                                              201216};
const sample::AmcacheInventorySpec unnamed = {
    L"0000" + std::wstring(40, L'c'), L"c:\\users\\alice\\dropper.exe", L"", L"", L"", L"", L"", 0};

TEST(AmcacheEvidence, AHiveIsReadWithItsLogInBothLayouts) {
    testing::TempFolder root;
    writeEvidenceFile(root.path, "Windows/System32/config/SOFTWARE",
                      sample::writeHive(sample::softwareHive({})));
    writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM",
                      sample::writeHive(sample::systemHive(3)));
    writeEvidenceFile(root.path, "Windows/Prefetch/.keep", {});
    // The primary holds the first state, its log the second, which adds an
    // entry; the primary's sequence numbers say so.
    std::vector<std::uint8_t> before = sample::writeHive(amcacheWith({notepad}));
    const std::vector<std::uint8_t> after = sample::writeHive(amcacheWith({notepad, unnamed}));
    sample::setSequenceNumbers(before, 11, 10);
    const std::vector<std::uint8_t> log =
        sample::writeNewFormatLog(before, 10,
                                  {{10, static_cast<std::uint32_t>(after.size() - 4096),
                                    sample::changedPages(before, after)}});
    writeEvidenceFile(root.path, "Windows/AppCompat/Programs/Amcache.hve", before);
    writeEvidenceFile(root.path, "Windows/AppCompat/Programs/Amcache.hve.LOG1", log);
    const ScanResults results = testing::scanEvidence(root.path);

    const SourceReading reading = readingOf(results.origin, amcacheSource);
    EXPECT_EQ(reading.presence, SourcePresence::Read);
    EXPECT_EQ(reading.note, L"both layouts: Root\\InventoryApplicationFile and Root\\File");
    const std::vector<const LaunchRecord*> amcache = testing::recordsOf(results, amcacheSource);
    ASSERT_EQ(amcache.size(), 3u) << "two of the new layout (one from the log), one of the old";
    const LaunchRecord* fromLog = testing::recordNamed(amcache, L"dropper.exe");
    ASSERT_NE(fromLog, nullptr) << "a key named 0000<SHA-1> is named after its path";
    EXPECT_EQ(fromLog->path, L"c:\\users\\alice\\dropper.exe");
    EXPECT_TRUE(amcacheDetails(*fromLog)->sha1.empty());

    const LaunchRecord* note = testing::recordNamed(amcache, L"notepad.exe");
    ASSERT_NE(note, nullptr);
    const AmcacheDetails& details = *amcacheDetails(*note);
    EXPECT_EQ(details.inventoryLayout, 1);
    EXPECT_EQ(details.sha1, std::wstring(40, L'a'));
    EXPECT_EQ(details.publisher, L"microsoft corporation");
    EXPECT_EQ(details.linkDate, L"12/26/2021 14:00:00");
    EXPECT_EQ(details.linkTime, 132850008000000000ULL); // 2021-12-26 14:00:00 UTC
    EXPECT_EQ(details.fileSize, 201216u);
    EXPECT_NE(details.lastWritten, 0u);
    EXPECT_NE(note->recordFile.find(L"Amcache.hve"), std::wstring::npos);
    EXPECT_TRUE(note->runTimes.empty());

    const LaunchRecord* legacy = testing::recordNamed(amcache, L"legacy.exe");
    ASSERT_NE(legacy, nullptr);
    const AmcacheDetails& old = *amcacheDetails(*legacy);
    EXPECT_EQ(old.inventoryLayout, 0);
    EXPECT_EQ(old.modified, anotherTime);
    EXPECT_EQ(old.created, anotherTime - 10000000);
    EXPECT_EQ(old.linkTime, (1600000000ULL + 11644473600ULL) * 10000000ULL);
    EXPECT_EQ(old.fileSize, 4096u);

    EXPECT_EQ(results.tally[amcacheEntriesSeen], 3u);
    EXPECT_EQ(results.tally[amcacheEntriesRead], 3u);
    EXPECT_EQ(results.tally[amcacheStale], 0u);
    EXPECT_EQ(results.tally[hivesRecovered], 1u) << "brought up to date from its log";
    bool listed = false;
    for (const ExaminedHive& hive : results.origin.hives) {
        if (hive.hive == L"Amcache.hve") {
            listed = true;
            EXPECT_EQ(hive.outcome, HiveOutcome::Recovered);
            EXPECT_EQ(hive.logEntriesApplied, 1u);
        }
    }
    EXPECT_TRUE(listed);
    const std::wstring header = buildReportHeader(results.tally, results.facts, results.origin);
    EXPECT_NE(header.find(L"\r\n# Amcache,read (both layouts"), std::wstring::npos);
}

class AmcacheThisMachine : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setWindowsDirectory(windows.text());
    }
    void TearDown() override { fake::resetAll(); }
    testing::TempFolder windows;
};

TEST_F(AmcacheThisMachine, AHiveHeldOpenIsSaidAndNotFailed) {
    // The path as the scan forms it below the Windows directory.
    const std::wstring hive = windows.text() + L"\\AppCompat\\Programs\\Amcache.hve";
    ASSERT_TRUE(sample::writeEvidenceFile(windows.path, "AppCompat/Programs/Amcache.hve",
                                          sample::writeHive(sample::amcacheHive({}, {}))));
    fake::failFile(hive, {ERROR_SHARING_VIOLATION, false, false, false});
    const ScanResults results = testing::scanThisMachine();
    EXPECT_EQ(readingOf(results.origin, amcacheSource).presence, SourcePresence::HeldOpen);
    EXPECT_EQ(results.tally[amcacheHeldOpen], 1u);
    EXPECT_EQ(results.tally[amcacheUnreadable], 0u);
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin)
                  .find(L"Held open by the running Windows, and so not read: Amcache."),
              std::wstring::npos);
    EXPECT_NE(buildReportHeader(results.tally, results.facts, results.origin)
                  .find(L"# Amcache,held open by the running Windows - not read while it runs"),
              std::wstring::npos);

    // Any other failure to open it is one.
    fake::failFile(hive, {ERROR_ACCESS_DENIED, false, false, false});
    const ScanResults denied = testing::scanThisMachine();
    EXPECT_EQ(readingOf(denied.origin, amcacheSource).presence, SourcePresence::Unreadable);
    EXPECT_EQ(denied.tally[amcacheUnreadable], 1u);
}

const DetailContext copy{L"", true, TimeBasis::Utc};

LaunchRecord amcacheRecord() {
    LaunchRecord record = makeRecord(amcacheSource);
    record.name = L"7z.exe";
    record.path = L"c:\\program files\\7-zip\\7z.exe";
    record.pathStatus = PathStatus::Resolved;
    record.recordFile = L"C:\\Windows\\AppCompat\\Programs\\Amcache.hve";
    AmcacheDetails& details = *amcacheDetails(record);
    details.inventoryLayout = 1;
    details.entryKey = L"InventoryApplicationFile\\7z.exe|afe683e0fa522625";
    details.lastWritten = aTime;
    details.sha1 = std::wstring(40, L'a');
    details.publisher = L"igor pavlov";
    details.version = L"21.07";
    details.linkDate = L"12/26/2021 14:00:00";
    details.linkTime = 132850008000000000ULL;
    details.fileSize = 535040;
    details.fileSizeKnown = 1;
    return record;
}

TEST(AmcacheRecord, ItsDetailSaysWhatItsSha1AndItsTimesAre) {
    const std::wstring text = buildDetailText(amcacheRecord(), copy);
    EXPECT_EQ(text.find(L"Recorded run times"), std::wstring::npos);
    for (const wchar_t* line :
         {L"Path status:       resolved  \u2014 lower-cased by Windows, as recorded\r\n",
          L"Amcache layout:    Root\\InventoryApplicationFile\r\n",
          L"SHA-1:             aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n"
          L"                   (of at most the file's first 31457280 bytes)\r\n",
          L"Publisher:         igor pavlov\r\n", L"Product:           (not recorded)\r\n",
          L"Link date:         12/26/2021 14:00:00 (as recorded)\r\n",
          L"File size:         535040 bytes\r\n", L"Entry written:     2024-01-17 21:20:00 UTC\r\n",
          L"Linked:            2021-12-26 14:00:00 UTC\r\n",
          L"    scanned or run) and when it last wrote the entry: not each run, nor\r\n"}) {
        EXPECT_NE(text.find(line), std::wstring::npos) << testing::narrow(line);
    }
}

TEST(AmcacheRecord, EachTimeStandsUnderItsOwnNameAndNoneIsARun) {
    EXPECT_EQ(cellText(amcacheRecord(), columnLastRun), L"");
    EXPECT_EQ(buildRecordLine(amcacheRecord()).find(L"aaaaaaaa"), std::wstring::npos)
        << "the SHA-1 is no Prefetch path hash";
    const std::string record = jsonReportRecord(amcacheRecord(), testing::allSources(), true);
    EXPECT_NE(record.find("\"run_times\":[]"), std::string::npos);
    EXPECT_NE(record.find("\"entry_last_written\":{\"filetime\":133500000000000000,"
                          "\"utc\":\"2024-01-17T21:20:00.0000000Z\"}"),
              std::string::npos);
    EXPECT_NE(record.find("\"sha1\":\"" + std::string(40, 'a') +
                          "\",\"sha1_bytes_covered_at_most\":31457280"),
              std::string::npos);
    EXPECT_NE(record.find("\"cache_position\":null"), std::string::npos)
        << "every source's members, null where they do not apply";

    const TimelineScan scan =
        timelineScan(ScanTally{}, ScanFacts{}, testing::thisMachineOrigin(L"PC7"));
    const std::string events = timelineEvents(amcacheRecord(), 1, scan);
    EXPECT_NE(events.find("\"timestamp_desc\":\"Amcache: entry last written\""), std::string::npos);
    EXPECT_NE(events.find("\"timestamp_desc\":\"Amcache: file linked (its PE header's date)\""),
              std::string::npos);
    EXPECT_NE(events.find("\"time_name\":\"link_time\""), std::string::npos);
    EXPECT_EQ(events.find("\"run_index\""), std::string::npos) << "no run of it";
    EXPECT_EQ(testing::linesIn(events), 2u) << "one event per time it records";
}

} // namespace
} // namespace tidewell
