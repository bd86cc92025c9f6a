// How the records beside Prefetch and UserAssist are shown: each detail text
// whole, the list's and the report's cells (a time that is no run stays out
// of the run columns), and the JSON document and the timeline, where each
// time stands under its own name.
#include <gtest/gtest.h>

#include "platform/timestamp_format.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "support/corpus_files.h"
#include "support/origins.h"
#include "ui/detail_text.h"
#include "ui/record_list_logic.h"

namespace tidewell {
namespace {

constexpr FileTime aTime = 133500000000000000ULL; // 2024-01-17 21:20:00 UTC
const DetailContext live{L"S-1-5-21-1-2-3-1001", false, TimeBasis::Utc};
const DetailContext copy{L"", true, TimeBasis::Utc};

LaunchRecord bamRecord() {
    LaunchRecord record = makeRecord(RecordSource::Bam);
    record.name = L"cmd.exe";
    record.path = L"\\Device\\HarddiskVolume3\\Windows\\cmd.exe";
    record.pathStatus = PathStatus::VolumeNotIdentified;
    record.runTimes = {aTime};
    record.userSid = L"S-1-5-21-1-2-3-1001";
    record.userName = L"alice";
    bamDetails(record)->recordedName = record.path;
    return record;
}

LaunchRecord cacheRecord() {
    LaunchRecord record = makeRecord(RecordSource::AppCompatCache);
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

LaunchRecord amcacheRecord() {
    LaunchRecord record = makeRecord(RecordSource::Amcache);
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

TEST(ProgramRecordsDetail, ABamRecordWhole) {
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

TEST(ProgramRecordsDetail, ACacheEntryShowsItsTimeAsTheFilesAndNoRunAtAll) {
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

TEST(ProgramRecordsDetail, AnAmcacheEntrySaysWhatItsSha1AndItsTimesAre) {
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

TEST(ProgramRecordsCells, TimesThatAreNoRunsStayOutOfTheRunColumns) {
    // The list.
    EXPECT_EQ(cellText(bamRecord(), columnRuns), L"") << "the moderator counts no runs";
    EXPECT_EQ(cellText(bamRecord(), columnLastRun, TimeBasis::Utc), L"2024-01-17 21:20:00");
    EXPECT_EQ(cellText(cacheRecord(), columnLastRun), L"");
    EXPECT_EQ(cellText(amcacheRecord(), columnLastRun), L"");
    EXPECT_EQ(cellText(cacheRecord(), columnSource), L"AppCompatCache");
    EXPECT_EQ(cellText(cacheRecord(), columnDetail), L"entry 3 of the cache");
    LaunchRecord bamWithout = bamRecord();
    bamWithout.runTimes.clear();
    EXPECT_EQ(cellText(bamWithout, columnLastRun), L"not recorded");
    // The report keeps its columns and leaves those that do not apply empty.
    EXPECT_EQ(buildRecordLine(cacheRecord(), TimeBasis::Utc),
              L"\"AppCompatCache\",\"x.exe\",\"C:\\Tools\\x.exe\",\"resolved\",\"\",\"\",\"\","
              L"\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    EXPECT_EQ(buildRecordLine(bamRecord(), TimeBasis::Utc),
              L"\"BAM/DAM\",\"cmd.exe\",\"\\Device\\HarddiskVolume3\\Windows\\cmd.exe\","
              L"\"volume not identified\",\"\",\"2024-01-17 21:20:00\",\"2024-01-17 21:20:00\","
              L"\"alice\",\"S-1-5-21-1-2-3-1001\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    EXPECT_EQ(buildRecordLine(amcacheRecord()).find(L"aaaaaaaa"), std::wstring::npos)
        << "the SHA-1 is no Prefetch path hash";
}

TEST(ProgramRecordsJson, EachTimeStandsUnderItsOwnName) {
    const std::string record = jsonReportRecord(amcacheRecord(), true);
    EXPECT_NE(record.find("\"run_times\":[]"), std::string::npos);
    EXPECT_NE(record.find("\"entry_last_written\":{\"filetime\":133500000000000000,"
                          "\"utc\":\"2024-01-17T21:20:00.0000000Z\"}"),
              std::string::npos);
    EXPECT_NE(record.find("\"sha1\":\"" + std::string(40, 'a') +
                          "\",\"sha1_bytes_covered_at_most\":31457280"),
              std::string::npos);
    EXPECT_NE(record.find("\"cache_position\":null"), std::string::npos)
        << "every source's members, null where they do not apply";
    const std::string cache = jsonReportRecord(cacheRecord(), true);
    EXPECT_NE(cache.find("\"insertion_flags\":\"0x00000002\",\"shim_flags\":\"0x00000100\","
                         "\"cache_entry_data\":\"ab01\""),
              std::string::npos);

    const TimelineScan scan =
        timelineScan(ScanTally{}, ScanFacts{}, testing::thisMachineOrigin(L"PC7"));
    const std::string events = timelineEvents(amcacheRecord(), scan);
    EXPECT_NE(events.find("\"timestamp_desc\":\"Amcache: entry last written\""), std::string::npos);
    EXPECT_NE(events.find("\"timestamp_desc\":\"Amcache: file linked (its PE header's date)\""),
              std::string::npos);
    EXPECT_NE(events.find("\"time_name\":\"link_time\""), std::string::npos);
    EXPECT_EQ(events.find("\"run_index\""), std::string::npos) << "no run of it";
    std::size_t lines = 0;
    for (char c : events) {
        lines += c == '\n' ? 1 : 0;
    }
    EXPECT_EQ(lines, 2u) << "one event per time it records";
    const std::string cacheEvents = timelineEvents(cacheRecord(), scan);
    EXPECT_NE(cacheEvents.find("\"timestamp_desc\":\"AppCompatCache: file modified\""),
              std::string::npos);
    EXPECT_NE(cacheEvents.find("the entry does not show that it ran"), std::string::npos);
    const std::string bamEvents = timelineEvents(bamRecord(), scan);
    EXPECT_NE(bamEvents.find("\"timestamp_desc\":\"BAM/DAM: last run\""), std::string::npos);
    EXPECT_NE(bamEvents.find("\"run_index\":1"), std::string::npos);
    LaunchRecord packaged = cacheRecord();
    appCompatCacheDetails(packaged)->modified = 0;
    EXPECT_EQ(timelineEvents(packaged, scan), "") << "no time, no event";
}

} // namespace
} // namespace tidewell
