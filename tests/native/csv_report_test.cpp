// The report byte for byte: a golden file written by hand, the header's
// variants, and numbers that no locale can change.
#include "report/report_commit.h"

#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "platform/inert_text.h"

#include "support/origins.h"

#include "support/record_details.h"

#include "core/record_source.h"
#include "core/scan_counters.h"
#include "fake/fake_machine.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_setup.h"
#include "prefetch/prefetch_source.h"
#include "report/csv_report.h"
#include "support/corpus_files.h"
#include "support/scoped_time_zone.h"
#include "support/temp_folder.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

using testing::ScopedTimeZone;
using testing::TempFolder;

// This machine, which keeps Prefetch and UserAssist and none of the others.
struct SmallScan {
    RecordList records;
    ScanTally tally = testing::tableTally();
    ScanFacts facts = testing::tableFacts();
    ScanOrigin origin =
        testing::withSources(testing::thisMachineOrigin(L""), SourcePresence::NotPresent);
};

SmallScan smallScan() {
    SmallScan scan;
    LaunchRecord prefetch = makeRecord(prefetchSource);
    prefetch.name = L"NOTEPAD.EXE";
    prefetch.path = L"C:\\Program Files\\\"Odd\", Inc\\NOTEPAD.EXE";
    prefetch.pathStatus = PathStatus::Resolved;
    prefetch.runCount = 5; // withheld: never shown
    prefetch.runCountKnown = 0;
    prefetch.runTimes = {133497936000000000ULL, 133496946150000000ULL, 133485407999999999ULL};
    testing::prefetchOf(prefetch).pathHash = 0x1A2B;
    testing::prefetchOf(prefetch).formatVersion = 30;
    prefetch.recordFile = L"C:\\Windows\\Prefetch\\NOTEPAD.EXE-00001A2B.pf";
    testing::prefetchOf(prefetch).referencedFiles = {L"\\VOLUME{0-1}\\A.DLL",
                                                     L"\\VOLUME{0-1}\\NOTEPAD.EXE"};
    testing::prefetchOf(prefetch).volumeSerial = 1;
    scan.records.push_back(prefetch);

    LaunchRecord app = makeRecord(userAssistSource);
    app.name = L"app.exe";
    app.path = L"C:\\Tools\\app.exe";
    app.pathStatus = PathStatus::Resolved;
    app.runCount = 4;
    app.runCountKnown = 1;
    app.userName = L"analyst";
    app.userSid = L"S-1-5-21-1-2-3-1001";
    testing::userAssistOf(app).focusCount = 2;
    testing::userAssistOf(app).focusMilliseconds = 2500;
    testing::userAssistOf(app).hasFocus = 1;
    scan.records.push_back(app);

    LaunchRecord explorer = app;
    explorer.name = L"Microsoft.Windows.Explorer";
    explorer.path.clear();
    explorer.pathStatus = static_cast<PathStatus>(7);
    explorer.runCount = 0;
    explorer.runTimes = {133536603040000000ULL};
    testing::userAssistOf(explorer).focusCount = 0;
    testing::userAssistOf(explorer).focusMilliseconds = 0;
    scan.records.push_back(explorer);

    scan.tally[prefetchSeen] = 1;
    scan.tally[prefetchParsed] = 1;
    scan.tally[prefetchRunCountUnverified] = 1;
    scan.tally[prefetchNonPrefetchSkipped] = 2;
    scan.tally[userAssistSeen] = 4;
    scan.tally[userAssistParsed] = 3;
    scan.tally[userAssistBookkeepingSkipped] = 1;
    scan.tally[userAssistNoTimestamp] = 1;
    scan.tally[userAssistStampOnly] = 1;

    scan.facts.elevated = 1;
    scan.facts[prefetchEnabled] = knownFact(1);
    scan.facts[prefetchDirReadable] = knownFact(1);
    scan.facts[prefetchRetentionLimit] = knownFact(1024);
    scan.facts[enablePrefetcherPresent] = knownFact(1);
    scan.facts[enablePrefetcherValue] = knownFact(3);
    scan.facts.profileCoverageKnown = 1;
    scan.facts.profilesOnMachine = 2;
    scan.facts.profilesExamined = 2;
    scan.facts.spanKnown = 1;
    scan.facts.spanOldest = 133485407999999999ULL;
    scan.facts.spanNewest = 133536603040000000ULL;
    return scan;
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

// The golden text (UTF-8 on disk, for reading by people) as the report's bytes.
std::vector<std::uint8_t> goldenBytes(const char* name) {
    const std::vector<std::uint8_t> utf8 =
        readBytes(std::filesystem::path(TIDEWELL_SOURCE_DIR) / "tests/golden" / name);
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    for (std::uint8_t c : utf8) {
        EXPECT_LT(c, 0x80) << "the golden file is ASCII";
        bytes.push_back(c);
        bytes.push_back(0);
    }
    return bytes;
}

std::wstring reportText(const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = readBytes(file);
    std::wstring text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text;
}

class CsvReport : public ::testing::Test {
protected:
    void SetUp() override { fake::resetAll(); }
    void TearDown() override { fake::resetAll(); }
    ScopedTimeZone utc{"UTC0"};
    TempFolder folder;
    std::filesystem::path out = folder.path / "report.csv";
    std::wstring outText() const { return folder.text() + L"\\report.csv"; }
};

TEST_F(CsvReport, ASmallScanMatchesTheGoldenFileByteForByte) {
    const SmallScan scan = smallScan();
    ASSERT_TRUE(writeReport(outText(), scan.records, scan.tally, scan.facts, scan.origin));
    EXPECT_EQ(readBytes(out), goldenBytes("small_report.csv.txt"));
}

TEST_F(CsvReport, NumbersIgnoreTheProcessLocale) {
    const SmallScan scan = smallScan();
    ASSERT_TRUE(writeReport(outText(), scan.records, scan.tally, scan.facts, scan.origin));
    const std::vector<std::uint8_t> before = readBytes(out);
    const char* comma = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (comma == nullptr) {
        comma = std::setlocale(LC_ALL, "fr_FR.UTF-8");
    }
    if (comma == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed (scripts/test makes one)";
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    EXPECT_STREQ(probe, "2,5") << "the locale really uses a comma";
    const bool written = writeReport(outText(), scan.records, scan.tally, scan.facts, scan.origin);
    std::setlocale(LC_ALL, "C");
    ASSERT_TRUE(written);
    EXPECT_EQ(readBytes(out), before);
}

TEST_F(CsvReport, NoRecordsLeavesTheHeaderAndColumnLineOnly) {
    const SmallScan scan = smallScan();
    ASSERT_TRUE(writeReport(outText(), {}, scan.tally, scan.facts, scan.origin));
    const std::wstring text = reportText(out);
    const std::wstring columns = L"Source,Name,Path,Path status,Run count,Last run,All recorded "
                                 L"runs,User,User SID,Focus count,Focus seconds,Format version,"
                                 L"Hash,Referenced files,Source file\r\n";
    ASSERT_GE(text.size(), columns.size());
    EXPECT_EQ(text.substr(text.size() - columns.size()), columns);
    EXPECT_NE(text.find(L"complete picture of this machine,yes\r\n\r\nSource,"),
              std::wstring::npos);
}

TEST_F(CsvReport, HeaderVariants) {
    SmallScan scan = smallScan();

    // Coverage unknown: one line instead of three, and never complete.
    scan.facts.profileCoverageKnown = 0;
    scan.facts.profilesExamined = 3;
    std::wstring header = buildReportHeader(scan.tally, scan.facts, scan.origin);
    EXPECT_NE(
        header.find(L"\r\n# UserAssist profile coverage could not be determined - the profile "
                    L"list could not be read in full. Profiles examined,3\r\n"),
        std::wstring::npos);
    EXPECT_EQ(header.find(L"# User profiles on this machine"), std::wstring::npos);
    EXPECT_NE(header.find(L"# No read or parse failure was encountered.\r\n"), std::wstring::npos);
    EXPECT_NE(header.find(L"# Result is a complete picture of this machine,no\r\n"),
              std::wstring::npos);

    // A profile not examined: no failure, still not complete.
    scan.facts.profileCoverageKnown = 1;
    scan.facts.profilesNotExamined = 1;
    header = buildReportHeader(scan.tally, scan.facts, scan.origin);
    EXPECT_NE(header.find(L"# User profiles NOT examined (registry hive not available to this "
                          L"scan),1\r\n"),
              std::wstring::npos);
    EXPECT_NE(header.find(L"# No read or parse failure was encountered.\r\n"), std::wstring::npos);
    EXPECT_NE(header.find(L"complete picture of this machine,no\r\n"), std::wstring::npos);

    // Span unknown: no span line at all.
    scan.facts.spanKnown = 0;
    header = buildReportHeader(scan.tally, scan.facts, scan.origin);
    EXPECT_EQ(header.find(L"# Surviving records span"), std::wstring::npos);

    // A failure counted: the no-failure line goes, and the result is not complete.
    scan.facts.profilesNotExamined = 0;
    scan.tally[prefetchDirUnreadable] = 1;
    header = buildReportHeader(scan.tally, scan.facts, scan.origin);
    EXPECT_EQ(header.find(L"No read or parse failure"), std::wstring::npos);
    EXPECT_NE(
        header.find(L"# PREFETCH DIRECTORY UNREADABLE - no prefetch record was examined,1\r\n"),
        std::wstring::npos);
    EXPECT_NE(header.find(L"complete picture of this machine,no\r\n"), std::wstring::npos);

    // Prefetching switched off is not by itself incomplete.
    scan.tally[prefetchDirUnreadable] = 0;
    scan.facts[prefetchEnabled] = knownFact(0);
    header = buildReportHeader(scan.tally, scan.facts, scan.origin);
    EXPECT_NE(header.find(L"# Prefetch enabled,no\r\n"), std::wstring::npos);
    EXPECT_NE(header.find(L"complete picture of this machine,yes\r\n"), std::wstring::npos);
}

TEST_F(CsvReport, AnEvidenceReportNamesItsFolderAndTheExaminedMachine) {
    SmallScan scan = smallScan();
    const ScanOrigin evidence = testing::evidenceOrigin(L"/cases/host7/C", L"HOST7");
    scan.tally[hivesRecovered] = 2;
    scan.tally[hiveLogEntriesApplied] = 5;
    const std::wstring header = buildReportHeader(scan.tally, scan.facts, evidence);
    EXPECT_EQ(header.rfind(L"# Tidewell\r\n# Evidence folder,/cases/host7/C\r\n# Elevated,", 0),
              0u);
    EXPECT_NE(header.find(L"\r\n# User profiles on the examined machine,2\r\n"),
              std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n# Result is a complete picture of the examined machine,yes\r\n"),
              std::wstring::npos);
    // The evidence's own counters follow the others, recovered hives among them.
    const std::size_t lastShared = header.find(L"# folder ids belonging to another user");
    const std::size_t recovered =
        header.find(L"# hives dirty and brought up to date from their transaction logs,2\r\n");
    ASSERT_NE(recovered, std::wstring::npos);
    EXPECT_GT(recovered, lastShared);
    EXPECT_NE(header.find(L"# hive log entries applied,5\r\n"), std::wstring::npos);
    EXPECT_EQ(header.find(L"this machine"), std::wstring::npos);

    // A report of this machine lists none of them.
    const std::wstring live = buildReportHeader(scan.tally, scan.facts, scan.origin);
    EXPECT_EQ(live.find(L"# hives dirty"), std::wstring::npos);
    EXPECT_EQ(live.find(L"# hive log entries"), std::wstring::npos);
    EXPECT_EQ(live.find(L"Evidence"), std::wstring::npos);
}

TEST_F(CsvReport, AUtcReportSaysSoAndDiffersInItsTimesAlone) {
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    SmallScan scan = smallScan();
    const std::wstring localHeader = buildReportHeader(scan.tally, scan.facts, scan.origin);
    const std::wstring utcHeader =
        buildReportHeader(scan.tally, scan.facts, scan.origin, TimeBasis::Utc);
    EXPECT_EQ(utcHeader.rfind(L"# Tidewell\r\n# Times are in,UTC\r\n# Elevated,", 0), 0u);
    EXPECT_EQ(localHeader.find(L"UTC"), std::wstring::npos) << "the default report is unchanged";
    EXPECT_NE(
        utcHeader.find(L"# Surviving records span,2023-12-31 23:59:59 to 2024-02-29 06:05:04\r\n"),
        std::wstring::npos);
    EXPECT_NE(localHeader.find(
                  L"# Surviving records span,2024-01-01 00:59:59 to 2024-02-29 07:05:04\r\n"),
              std::wstring::npos);

    // Half an hour either side of the spring change: an hour apart in UTC,
    // two on the local clock.
    LaunchRecord& record = scan.records[0];
    record.runTimes = {133563222000000000ULL, 133563186000000000ULL};
    const std::wstring localLine = buildRecordLine(record);
    const std::wstring utcLine = buildRecordLine(record, TimeBasis::Utc);
    EXPECT_NE(
        localLine.find(L",\"2024-03-31 03:30:00\",\"2024-03-31 03:30:00 | 2024-03-31 01:30:00\","),
        std::wstring::npos);
    EXPECT_NE(
        utcLine.find(L",\"2024-03-31 01:30:00\",\"2024-03-31 01:30:00 | 2024-03-31 00:30:00\","),
        std::wstring::npos);
    EXPECT_EQ(localLine.substr(0, localLine.find(L"2024")),
              utcLine.substr(0, utcLine.find(L"2024")));
    EXPECT_EQ(localLine.substr(localLine.rfind(L"2024") + 19),
              utcLine.substr(utcLine.rfind(L"2024") + 19));
}

TEST(CsvQuote, OnlyDoubleQuotesAreDoubled) {
    EXPECT_EQ(csvQuote(L""), L"\"\"");
    EXPECT_EQ(csvQuote(L"a\"b"), L"\"a\"\"b\"");
    EXPECT_EQ(csvQuote(L"a,b\r\nc\td"), L"\"a,b\r\nc\td\"");
    EXPECT_EQ(csvQuote(L"\"\""), L"\"\"\"\"\"\"");
}

TEST(CsvQuote, ARecordsCellThatStartsLikeAFormulaStaysText) {
    for (const wchar_t* formula : {L"=1+1", L"+1", L"-1", L"@SUM(A1)", L"\tx", L"\rx"}) {
        EXPECT_EQ(csvCell(formula), L"\"'" + std::wstring(formula) + L"\"");
    }
    for (const wchar_t* plain : {L"", L"a=b", L" =1", L"C:\\-x", L"'quoted"}) {
        EXPECT_EQ(csvCell(plain), csvQuote(plain));
    }
    EXPECT_EQ(visibleText(L"a\x1b[2J\x7f\x85\u00a0\u202e"),
              L"a<U+001B>[2J<U+007F><U+0085>\u00a0\u202e");
}

TEST(CsvRecordLine, EveryPathStatusHasItsWord) {
    LaunchRecord record = makeRecord(prefetchSource);
    const std::pair<std::uint32_t, const wchar_t*> words[] = {{0, L"resolved"},
                                                              {1, L"volume not identified"},
                                                              {2, L"folder id unresolved"},
                                                              {3, L"several possible paths"},
                                                              {4, L"no path recorded"},
                                                              {7, L"no path recorded"}};
    for (const auto& [status, word] : words) {
        record.pathStatus = static_cast<PathStatus>(status);
        const std::wstring line = buildRecordLine(record);
        EXPECT_NE(line.find(std::wstring(L",\"\",\"") + word + L"\","), std::wstring::npos)
            << status;
    }
}

TEST(CsvRecordLine, FocusSecondsRoundAsPrintfDoes) {
    ScopedTimeZone utc("UTC0");
    LaunchRecord record = makeRecord(userAssistSource);
    testing::userAssistOf(record).hasFocus = 1;
    const std::pair<std::uint32_t, const wchar_t*> cases[] = {
        {0, L"0.0"},   {50, L"0.1"},   {250, L"0.2"},
        {350, L"0.3"}, {2500, L"2.5"}, {4294967295u, L"4294967.3"}};
    for (const auto& [ms, text] : cases) {
        testing::userAssistOf(record).focusMilliseconds = ms;
        char expected[32];
        std::snprintf(expected, sizeof expected, "%.1f", ms / 1000.0);
        const std::wstring wideExpected(expected, expected + std::strlen(expected));
        EXPECT_EQ(wideExpected, text) << "the C library agrees with the table";
        EXPECT_NE(buildRecordLine(record).find(L",\"" + std::wstring(text) + L"\","),
                  std::wstring::npos)
            << ms;
    }
}

} // namespace
} // namespace tidewell
