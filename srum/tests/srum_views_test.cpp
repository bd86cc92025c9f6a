// A SRUM record as every view shows it: its hours in use are its times,
// named as such in the detail window, the program's detail and the JSON
// document, and never taken for runs (no Last run, no run in the CSV, no
// program's first or last run).
#include <gtest/gtest.h>

#include "programs/program_builder.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "sample/evidence_tree.h"
#include "scan/state_merge.h"
#include "srum/srum_details.h"
#include "srum/srum_records.h"
#include "srum/srum_source.h"
#include "support/origins.h"
#include "ui/detail_text.h"
#include "ui/program_detail_text.h"
#include "ui/record_list_logic.h"

namespace tidewell {
namespace {

constexpr double noonFeb5 = 44597.5;                     // 2022-02-05 12:00 UTC
constexpr FileTime noonFeb5Time = 132885360000000000ULL; // the same

RecordList srumRecords() {
    SrumTables tables;
    tables.open = SrumOpen::Opened;
    tables.usagePresent = tables.networkPresent = true;
    tables.usageFiguresRecorded = srumTableFigures(true);
    tables.networkFiguresRecorded = srumTableFigures(false);
    tables.ids = {{1, 0, sample::registryText(L"C:\\Tools\\beacon.exe")},
                  {2, 3, {0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x12, 0, 0, 0}}};
    SrumRow row;
    row.timeStamp = noonFeb5;
    row.appId = 1;
    row.userId = 2;
    row.figures.foregroundCycles = 123456;
    SrumRow network{noonFeb5, 1, 2, 7, {}};
    network.figures.bytesSent = 1048576;
    network.figures.bytesReceived = 2048;
    tables.usage = {row};
    tables.network = {network};
    RecordList records;
    ScanTally tally;
    makeSrumRecords(tables, L"C:\\Windows\\System32\\sru\\SRUDB.dat", records, tally);
    return records;
}

TEST(SrumViews, HoursInUseAreNamedAsSuchAndNeverTakenForRuns) {
    const RecordList records = srumRecords();
    ASSERT_EQ(records.size(), 1u);
    const LaunchRecord& beacon = records[0];
    ASSERT_EQ(beacon.runTimes, std::vector<FileTime>{noonFeb5Time});

    EXPECT_TRUE(cellText(beacon, columnLastRun, TimeBasis::Utc).empty());
    const std::wstring line = buildRecordLine(beacon, TimeBasis::Utc);
    EXPECT_EQ(line.find(L"2022-02-05"), std::wstring::npos) << "no run in the CSV: " << line.size();

    const std::wstring detail = buildDetailText(beacon, DetailContext{{}, true, TimeBasis::Utc});
    EXPECT_NE(detail.find(L"Recorded times (SRUM: in use during the hour ending):\r\n"
                          L"    2022-02-05 12:00:00"),
              std::wstring::npos);
    EXPECT_NE(detail.find(L"Bytes sent:        1,048,576"), std::wstring::npos);
    EXPECT_NE(detail.find(L"Hours in use:      1 hour, the first ending 2022-02-05 12:00:00 UTC"),
              std::wstring::npos);
    EXPECT_NE(detail.find(L"User id:           2, S-1-5-18"), std::wstring::npos);
    EXPECT_EQ(detail.find(L"Recorded run times"), std::wstring::npos);

    const ScanOrigin origin = testing::withTableSources(testing::evidenceOrigin(L"/evidence"));
    const ProgramList programs = buildPrograms(records, origin);
    ASSERT_EQ(programs.programs.size(), 1u);
    EXPECT_EQ(programs.programs[0].lastRun, 0u) << "an hour in use is no run";
    EXPECT_EQ(programs.programs[0].lastRunSource, nullptr);
    const std::wstring programText = buildProgramDetailText(
        programs, programs.programs[0], records, DetailContext{{}, true, TimeBasis::Utc}, origin);
    EXPECT_NE(programText.find(L"    Time:          2022-02-05 12:00:00"), std::wstring::npos)
        << std::string(programText.begin(), programText.end());
    EXPECT_EQ(programText.find(L"    Run:  "), std::wstring::npos);

    const std::string json = jsonReportRecord(beacon, {&srumSource}, true);
    EXPECT_NE(json.find("\"srum_program_kind\":\"path\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"bytes_sent\":1048576"), std::string::npos);
    EXPECT_NE(
        json.find("\"run_times\":[{\"filetime\":132885360000000000,\"utc\":\"2022-02-05T12:00:00"),
        std::string::npos);
}

TEST(SrumViews, AnOlderCopysHoursJoinTheNewerRecordOfTheSameProgramAndUser) {
    RecordList current = srumRecords();
    // The database as a shadow copy held it: the same program under another
    // id, an hour the current one no longer keeps, and one it shares.
    SrumTables older;
    older.ids = {{40, 0, sample::registryText(L"C:\\Tools\\beacon.exe")},
                 {41, 3, {0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x12, 0, 0, 0}}};
    SrumRow row;
    row.appId = 40;
    row.userId = 41;
    row.figures.backgroundCycles = 9;
    row.timeStamp = noonFeb5 - 2;
    SrumRow shared = row;
    shared.timeStamp = noonFeb5;
    older.usage = {row, shared};
    RecordList olderRecords;
    ScanTally tally;
    makeSrumRecords(older, L"SRUDB.dat", olderRecords, tally);

    markCurrentState(current);
    mergeOlderState(current, olderRecords, 1, tally);
    orderMergedRunTimes(current);
    ASSERT_EQ(current.size(), 1u) << "one record per program and user";
    const FileTime twoDaysEarlier = noonFeb5Time - 2 * 864000000000ULL;
    EXPECT_EQ(current[0].runTimes, (std::vector<FileTime>{noonFeb5Time, twoDaysEarlier}));
    EXPECT_EQ(current[0].runTimeCopies, (std::vector<CopyIndex>{0, 1}));
    EXPECT_EQ(current[0].copies, (std::vector<CopyIndex>{0, 1}));
}

} // namespace
} // namespace tidewell
