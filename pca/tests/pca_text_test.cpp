// The compatibility assistant's files read line by line: both encodings as
// Windows writes them and the others a file may show, lines that lack
// their fields, times that are no possible date, and paths placed by the
// machine's variables or shown as recorded.
#include <gtest/gtest.h>

#include "pca/pca_counters.h"
#include "pca/pca_details.h"
#include "pca/pca_records.h"
#include "pca/pca_source.h"
#include "pca/pca_text.h"
#include "pca/sample/pca_files.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

constexpr FileTime now = 133996032000000000ULL;      // 2025-08-14
constexpr FileTime launched = 133157572730960000ULL; // 2022-12-17 13:27:53.096 UTC

const sample::PcaEventLine exited{L"2022-05-12 19:48:09.548",
                                  L"2",
                                  L"%programfiles%\\freefilesync\\freefilesync.exe",
                                  L"freefilesync",
                                  L"freefilesync.org",
                                  L"11.20",
                                  L"000617915288ba535b4198ae58be4d9e2a4200000904",
                                  L"Abnormal process exit with code 0x2"};

std::vector<std::uint8_t> ascii(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(PcaText, EachFileInTheEncodingWindowsWritesIt) {
    const PcaFileRead dictionary = readPcaFile(
        PcaFileKind::LaunchDictionary,
        sample::pcaLaunchDictionary({{L"C:\\Tools\\su-setup32.exe", L"2022-12-17 13:27:53.096"},
                                     {L"\\downloads\\x.exe", L"2022-12-18 04:27:42.360"}}),
        now);
    EXPECT_EQ(dictionary.encoding, PcaEncoding::SingleByte);
    ASSERT_EQ(dictionary.lines.size(), 2u);
    EXPECT_EQ(dictionary.linesRead, 2u);
    EXPECT_EQ(dictionary.lines[0].path, L"C:\\Tools\\su-setup32.exe");
    EXPECT_EQ(dictionary.lines[0].time, launched);
    EXPECT_EQ(dictionary.lines[1].lineNumber, 2u);
    EXPECT_EQ(dictionary.lines[1].path, L"\\downloads\\x.exe");

    const PcaFileRead database = readPcaFile(PcaFileKind::GeneralDatabase,
                                             sample::pcaGeneralDatabase({exited, exited}), now);
    EXPECT_EQ(database.encoding, PcaEncoding::Utf16le);
    ASSERT_EQ(database.lines.size(), 2u);
    const PcaLine& line = database.lines[1];
    EXPECT_EQ(line.recordType, L"2");
    EXPECT_EQ(line.path, exited.path);
    EXPECT_EQ(line.product, L"freefilesync");
    EXPECT_EQ(line.company, L"freefilesync.org");
    EXPECT_EQ(line.version, L"11.20");
    EXPECT_EQ(line.programId, exited.programId);
    EXPECT_EQ(line.exitText, L"Abnormal process exit with code 0x2");
    EXPECT_EQ(line.time, 132968584895480000ULL);
}

TEST(PcaText, MarksLineEndsAndBlankLinesDoNotChangeWhatIsRead) {
    // The database written as the dictionary is, and the dictionary as UTF-16
    // with a byte-order mark: each is read as its bytes show it.
    std::vector<std::uint8_t> marked = {0xFF, 0xFE};
    for (char c : std::string("C:\\a.exe|2022-12-17 13:27:53.096\r\n\r\n")) {
        marked.push_back(static_cast<std::uint8_t>(c));
        marked.push_back(0);
    }
    const PcaFileRead wide = readPcaFile(PcaFileKind::LaunchDictionary, marked, now);
    EXPECT_EQ(wide.encoding, PcaEncoding::Utf16leWithMark);
    ASSERT_EQ(wide.lines.size(), 1u);
    EXPECT_EQ(wide.linesRead, 1u);
    EXPECT_EQ(wide.lines[0].path, L"C:\\a.exe");
    EXPECT_EQ(wide.lines[0].time, launched);

    const PcaFileRead utf8 =
        readPcaFile(PcaFileKind::GeneralDatabase,
                    ascii("\xEF\xBB\xBF\n2022-05-12 19:48:09.548|3|C:\\b.exe|||||\r\n   \n"), now);
    EXPECT_EQ(utf8.encoding, PcaEncoding::Utf8WithMark);
    ASSERT_EQ(utf8.lines.size(), 1u);
    EXPECT_EQ(utf8.lines[0].lineNumber, 2u);
    EXPECT_EQ(utf8.lines[0].recordType, L"3");
    EXPECT_EQ(utf8.lines[0].product, L"");
    EXPECT_EQ(utf8.lines[0].exitText, L"");

    const PcaFileRead empty = readPcaFile(PcaFileKind::GeneralDatabase, {}, now);
    EXPECT_EQ(empty.encoding, PcaEncoding::Empty);
    EXPECT_EQ(empty.linesRead, 0u);
}

TEST(PcaText, SingleByteTextIsUtf8WhereValidAndWindows1252Otherwise) {
    const PcaFileRead read = readPcaFile(PcaFileKind::LaunchDictionary,
                                         ascii("C:\\caf\xC3\xA9.exe|2022-12-17 13:27:53.096\n"
                                               "C:\\caf\xE9 \x80.exe|2022-12-17 13:27:53.096"),
                                         now);
    ASSERT_EQ(read.lines.size(), 2u);
    EXPECT_EQ(read.lines[0].path, L"C:\\caf\u00E9.exe");
    EXPECT_EQ(read.lines[1].path, L"C:\\caf\u00E9 \u20AC.exe");
}

TEST(PcaText, LinesWithoutTheirFieldsAreLeftOutAndBadTimesWithheld) {
    std::vector<sample::PcaEventLine> lines(5, exited);
    lines[1].time = L"yesterday";
    lines[2].time = L"2099-01-01 00:00:00.000"; // past the clock
    lines[3].path = L"";
    lines[4].exitText = L"exit|with a bar"; // the last field takes the rest
    std::vector<std::uint8_t> bytes = sample::pcaGeneralDatabase(lines);
    for (char c : std::string("\n2022-05-12 19:48:09.548|2|C:\\short.exe|only|six")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        bytes.push_back(0);
    }
    const PcaFileRead read = readPcaFile(PcaFileKind::GeneralDatabase, bytes, now);
    EXPECT_EQ(read.linesRead, 6u);
    EXPECT_EQ(read.linesMalformed, 2u); // no path; too few fields
    EXPECT_EQ(read.timesMalformed, 2u);
    ASSERT_EQ(read.lines.size(), 4u);
    EXPECT_EQ(read.lines[1].time, 0u);
    EXPECT_EQ(read.lines[1].recordedTime, L"yesterday");
    EXPECT_EQ(read.lines[2].time, 0u);
    EXPECT_EQ(read.lines[3].exitText, L"exit|with a bar");

    const PcaFileRead dictionary = readPcaFile(
        PcaFileKind::LaunchDictionary,
        ascii("no bar at all\n|2022-12-17 13:27:53.096\nC:\\x.exe|\nC:\\y.exe|1601-01-01 00:00:00"),
        now);
    EXPECT_EQ(dictionary.linesRead, 4u);
    EXPECT_EQ(dictionary.linesMalformed, 2u);
    EXPECT_EQ(dictionary.timesMalformed, 2u);
    ASSERT_EQ(dictionary.lines.size(), 2u);
    EXPECT_EQ(dictionary.lines[1].recordedTime, L"1601-01-01 00:00:00");
}

TEST(PcaRecords, PathsArePlacedByTheMachinesVariablesOrShownAsRecorded) {
    const Variables variables = {{L"ProgramFiles", L"C:\\Program Files"},
                                 {L"SystemRoot", L"C:\\Windows"}};
    struct Case {
        const wchar_t* recorded;
        const wchar_t* shown;
        PathStatus status;
    };
    const Case cases[] = {
        {L"%programfiles%\\freefilesync\\freefilesync.exe",
         L"C:\\Program Files\\freefilesync\\freefilesync.exe", PathStatus::Resolved},
        {L"%USERPROFILE%\\appdata\\local\\git.exe", L"%USERPROFILE%\\appdata\\local\\git.exe",
         PathStatus::FolderIdUnresolved},
        {L"\\downloads\\x.exe", L"\\downloads\\x.exe", PathStatus::VolumeNotIdentified},
        {L"d:\\tools\\y.exe", L"d:\\tools\\y.exe", PathStatus::Resolved},
        {L"\\\\server\\share\\z.exe", L"\\\\server\\share\\z.exe", PathStatus::Resolved},
        {L"z.exe", L"z.exe", PathStatus::VolumeNotIdentified},
    };
    for (const Case& one : cases) {
        LaunchRecord record;
        placePcaPath(one.recorded, variables, record);
        EXPECT_EQ(record.path, one.shown);
        EXPECT_EQ(record.pathStatus, one.status) << static_cast<int>(record.pathStatus);
    }
}

TEST(PcaRecords, ALaunchIsARunAndAnEventKeepsItsOwnTime) {
    const Variables variables = {{L"ProgramFiles", L"C:\\Program Files"}};
    RecordList records;
    ScanTally tally;
    makePcaRecords(readPcaFile(PcaFileKind::LaunchDictionary,
                               sample::pcaLaunchDictionary(
                                   {{L"\\downloads\\x.exe", L"2022-12-17 13:27:53.096"}}),
                               now),
                   PcaFileKind::LaunchDictionary, L"PcaAppLaunchDic.txt", L"C:/pca/dic", variables,
                   records, tally);
    makePcaRecords(
        readPcaFile(PcaFileKind::GeneralDatabase, sample::pcaGeneralDatabase({exited}), now),
        PcaFileKind::GeneralDatabase, L"PcaGeneralDb1.txt", L"C:/pca/db1", variables, records,
        tally);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(tally[pcaLinesRead], 2u);
    EXPECT_EQ(tally[pcaPathsNotPlaced], 1u);
    const LaunchRecord& launch = records[0];
    EXPECT_EQ(launch.name, L"x.exe");
    EXPECT_EQ(launch.runTimes, std::vector<std::uint64_t>{launched});
    const LaunchRecord& event = records[1];
    EXPECT_EQ(event.name, L"freefilesync.exe");
    EXPECT_TRUE(event.runTimes.empty());
    std::vector<NamedTime> times;
    pcaSource.namedTimes(event, times);
    ASSERT_EQ(times.size(), 1u);
    EXPECT_EQ(times[0].time, 132968584895480000ULL);
    EXPECT_EQ(std::string(times[0].key), "pca_event_time");

    DetailContext context;
    context.times = TimeBasis::Utc;
    const std::wstring detail = buildDetailText(event, context);
    for (const wchar_t* expected :
         {L"    Recorded as: %programfiles%\\freefilesync\\freefilesync.exe\r\n",
          L"File:              PcaGeneralDb1.txt, line 1\r\n",
          L"Event:             Abnormal process exit with code 0x2\r\n",
          L"Event time:        2022-05-12 19:48:09 UTC\r\n"}) {
        EXPECT_NE(detail.find(expected), std::wstring::npos) << testing::PrintToString(detail);
    }
    const std::wstring launchDetail = buildDetailText(launch, context);
    EXPECT_NE(launchDetail.find(L"volume not identified  \u2014 recorded without its drive"),
              std::wstring::npos);

    // A launch is one program's in every state of the machine; an event is
    // one event, whichever database holds it.
    LaunchRecord later = launch;
    later.runTimes = {launched + 1};
    EXPECT_EQ(pcaSource.mergeKey(later), pcaSource.mergeKey(launch));
    LaunchRecord otherEvent = event;
    pcaDetails(otherEvent)->line.recordedTime = L"2022-05-12 20:13:49.687";
    EXPECT_NE(pcaSource.mergeKey(otherEvent), pcaSource.mergeKey(event));
    pcaDetails(otherEvent)->line = pcaDetails(event)->line;
    pcaDetails(otherEvent)->fileName = L"PcaGeneralDb0.txt";
    EXPECT_EQ(pcaSource.mergeKey(otherEvent), pcaSource.mergeKey(event));
}

} // namespace
} // namespace tidewell
