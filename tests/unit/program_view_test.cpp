// Where a user sees the programs: the Programs view's rows, filter, sort and
// toggles, a program's detail text, and the programs CSV.
#include <gtest/gtest.h>

#include "amcache/amcache_details.h"
#include "amcache/amcache_source.h"
#include "bam/bam_details.h"
#include "bam/bam_source.h"
#include "compatcache/compat_cache_details.h"
#include "compatcache/compat_cache_source.h"
#include "programs/program_builder.h"
#include "programs/program_texts.h"
#include "report/programs_csv.h"
#include "support/origins.h"
#include "ui/program_detail_text.h"
#include "ui/program_list_logic.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

constexpr std::uint64_t hour = 36000000000ULL;
constexpr std::uint64_t base = 133500000000000000ULL; // 2024-01-17 21:20 UTC

LaunchRecord ran(const std::wstring& path, std::uint64_t run) {
    LaunchRecord record = makeRecord(userAssistSource);
    record.name = path.substr(path.rfind(L'\\') + 1);
    record.path = path;
    record.pathStatus = PathStatus::Resolved;
    record.runTimes = {run};
    record.runCount = 2;
    record.runCountKnown = 1;
    record.userSid = L"S-1-5-21-1-2-3-1001";
    record.userName = L"alice";
    return record;
}

LaunchRecord seen(const std::wstring& path, std::uint32_t position) {
    LaunchRecord record = makeRecord(appCompatCacheSource);
    record.name = path.substr(path.rfind(L'\\') + 1);
    record.path = path;
    record.pathStatus = PathStatus::Resolved;
    appCompatCacheDetails(record)->position = position;
    appCompatCacheDetails(record)->modified = base - 100 * hour;
    return record;
}

struct Programs {
    RecordList records = {
        ran(L"C:\\Tools\\rclone.exe", base + 5 * hour), seen(L"C:\\Tools\\rclone.exe", 1),
        ran(L"C:\\Windows\\notepad.exe", base + 9 * hour), seen(L"C:\\Temp\\dropper.exe", 2)};
    ProgramList list = buildPrograms(records, testing::evidenceOrigin(L"/case/C"));
};

std::vector<std::wstring> shownNames(const ProgramListState& state, const ProgramList& list,
                                     const RecordList& records) {
    std::vector<std::wstring> names;
    for (std::size_t index : state.visible) {
        names.push_back(programName(list, list.programs[index], records));
    }
    return names;
}

TEST(ProgramList, RowsFilterSortAndFollowTheSourceToggles) {
    const Programs scan;
    ASSERT_EQ(scan.list.programs.size(), 3u);
    ProgramListState state;
    rebuildProgramRows(state, scan.list, scan.records, L"", allSourcesShown());
    // The latest run first; a program never recorded running last.
    EXPECT_EQ(shownNames(state, scan.list, scan.records),
              (std::vector<std::wstring>{L"notepad.exe", L"rclone.exe", L"dropper.exe"}));
    applyProgramColumnClick(state, programColumnName);
    rebuildProgramRows(state, scan.list, scan.records, L"", allSourcesShown());
    EXPECT_EQ(shownNames(state, scan.list, scan.records),
              (std::vector<std::wstring>{L"dropper.exe", L"notepad.exe", L"rclone.exe"}));
    applyProgramColumnClick(state, programColumnName);
    EXPECT_FALSE(state.sortAscending);

    rebuildProgramRows(state, scan.list, scan.records, foldFilter(L"TOOLS"), allSourcesShown());
    EXPECT_EQ(shownNames(state, scan.list, scan.records), std::vector<std::wstring>{L"rclone.exe"});

    // With UserAssist switched off, a program stays while another of its
    // sources is shown.
    SourceToggles toggles = allSourcesShown();
    toggles[userAssistSource.number] = false;
    rebuildProgramRows(state, scan.list, scan.records, L"", toggles);
    EXPECT_EQ(state.visible.size(), 2u);
    EXPECT_EQ(programAtRow(state, scan.list, 5), nullptr);
    EXPECT_EQ(programAtRow(state, scan.list, -1), nullptr);
}

TEST(ProgramList, CellsSayWhatEachSourceHoldsUnderItsOwnCount) {
    const Programs scan;
    const Program& rclone = scan.list.programs[0];
    EXPECT_EQ(programCellText(scan.list, rclone, scan.records, programColumnRanPer),
              L"UserAssist: 2 runs");
    EXPECT_EQ(programCellText(scan.list, rclone, scan.records, programColumnSeenBy),
              L"AppCompatCache: position 1");
    EXPECT_EQ(
        programCellText(scan.list, rclone, scan.records, programColumnLastRun, TimeBasis::Utc),
        L"2024-01-18 02:20:00");
    EXPECT_EQ(programCellText(scan.list, rclone, scan.records, programColumnUsers), L"alice");
    const Program& dropper = scan.list.programs[2];
    EXPECT_EQ(programCellText(scan.list, dropper, scan.records, programColumnRanPer),
              L"never recorded running");
    EXPECT_EQ(programCellText(scan.list, dropper, scan.records, programColumnFirstRun), L"");
    EXPECT_EQ(programColumnTitle(programColumnLastRun, TimeBasis::Utc), L"Last run (UTC)");
    EXPECT_EQ(programColumnTitle(programColumnCount, TimeBasis::Utc), L"");

    const auto widths = fitProgramColumnWidths(800, 17, [](int length) { return length; });
    int total = 0;
    for (int width : widths) {
        EXPECT_GT(width, 0);
        total += width;
    }
    EXPECT_LE(total, 800 - 17 - 8 + 160) << "only the path's least room may run over";
}

TEST(ProgramDetail, ItListsEveryRecordWithItsSourceTimesAndWhatItProves) {
    const Programs scan;
    const std::wstring text =
        buildProgramDetailText(scan.list, scan.list.programs[0], scan.records,
                               DetailContext{L"", true, TimeBasis::Utc, nullptr}, ScanOrigin{});
    EXPECT_EQ(text.rfind(L"rclone.exe\r\n\r\nPath:              C:\\Tools\\rclone.exe\r\n", 0), 0u);
    EXPECT_NE(text.find(L"Records (2):"), std::wstring::npos);
    EXPECT_NE(text.find(L"UserAssist \u2014 proves: ran (a recorded start)"), std::wstring::npos);
    EXPECT_NE(text.find(L"AppCompatCache \u2014 proves: present"), std::wstring::npos);
    EXPECT_NE(text.find(L"Run:           2024-01-18 02:20:00 UTC"), std::wstring::npos);
    EXPECT_NE(text.find(L"Joined by:     path"), std::wstring::npos);

    const std::wstring dropper =
        buildProgramDetailText(scan.list, scan.list.programs[2], scan.records,
                               DetailContext{L"", true, TimeBasis::Utc, nullptr}, ScanOrigin{});
    EXPECT_NE(dropper.find(L"Contradictions (said, not resolved):\r\n    Seen by Windows, never "
                           L"recorded running"),
              std::wstring::npos);
    EXPECT_NE(dropper.find(L"Runs:              none recorded"), std::wstring::npos);
}

TEST(ProgramDetail, AHashSaysWhichSourceRecordedItAndHowMuchOfTheFileItCovers) {
    LaunchRecord inventoried = makeRecord(amcacheSource);
    inventoried.name = L"rclone.exe";
    inventoried.path = L"C:\\Tools\\rclone.exe";
    inventoried.pathStatus = PathStatus::Resolved;
    amcacheDetails(inventoried)->sha1 = L"0123456789abcdef0123456789abcdef01234567";
    const RecordList records = {ran(L"C:\\Tools\\rclone.exe", base), inventoried};
    const ProgramList list = buildPrograms(records, testing::evidenceOrigin(L"/case/C"));
    ASSERT_EQ(list.programs.size(), 1u);
    const std::wstring text =
        buildProgramDetailText(list, list.programs[0], records,
                               DetailContext{L"", true, TimeBasis::Utc, nullptr}, ScanOrigin{});
    EXPECT_NE(text.find(L"SHA-1:             0123456789abcdef0123456789abcdef01234567  (as "
                        L"Amcache records it, over at most the first 31,457,280 bytes)\r\n"),
              std::wstring::npos)
        << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(L"Amcache \u2014 proves: present (Windows saw the file; not that it ran)"),
              std::wstring::npos);
}

TEST(ProgramsCsv, ItHasTheReportsHeaderWithTheProgramCountsAndALinePerProgram) {
    const Programs scan;
    const ScanOrigin origin = testing::evidenceOrigin(L"/case/C");
    const std::wstring header =
        buildProgramsHeader(ScanTally{}, ScanFacts{}, origin, scan.list, TimeBasis::Utc);
    EXPECT_EQ(header.rfind(L"# Tidewell\r\n# Evidence folder,/case/C\r\n", 0), 0u);
    EXPECT_NE(header.find(L"# Programs,3\r\n# Records joined to another of their program,2\r\n"),
              std::wstring::npos);
    EXPECT_NE(header.find(L"# Programs seen but never recorded running,1\r\n"), std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n\r\n\"Program\",\"Name\",\"Path\""), std::wstring::npos);
    EXPECT_EQ(header.substr(header.size() - 2), L"\r\n");
    EXPECT_EQ(
        buildProgramLine(scan.list, scan.list.programs[0], scan.records, origin, TimeBasis::Utc),
        L"\"1\",\"rclone.exe\",\"C:\\Tools\\rclone.exe\",\"as recorded\",\"UserAssist: 2 "
        L"runs\",\"AppCompatCache: position 1\",\"2024-01-18 02:20:00\",\"UserAssist\","
        L"\"2024-01-18 02:20:00\",\"UserAssist\",\"alice (S-1-5-21-1-2-3-1001)\",\"\",\"\","
        L"\"\",\"\",\"\",\"1 2\"\r\n");
}

} // namespace
} // namespace tidewell
