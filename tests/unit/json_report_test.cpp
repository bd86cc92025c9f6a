// The machine-readable forms of a scan: what each record and each event
// says, what stands for a figure that was withheld or does not apply, and
// which form a name asks for. The parse-back of whole outputs by a real
// JSON parser is in tests/interchange.
#include "report/json_report.h"

#include <gtest/gtest.h>

#include "support/origins.h"

#include "support/record_details.h"

#include "core/record_source.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_source.h"
#include "report/report_format.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

constexpr FileTime firstRun = 133497864000000000ULL;  // 2024-01-15 10:00 UTC
constexpr FileTime secondRun = 133497900000000000ULL; // 2024-01-15 11:00 UTC

LaunchRecord prefetchRecord() {
    LaunchRecord record = makeRecord(prefetchSource);
    record.name = L"TOOL.EXE";
    record.path = L"C:\\TOOLS\\TOOL.EXE";
    record.pathStatus = PathStatus::Resolved;
    record.runCount = 2;
    record.runCountKnown = 1;
    record.runTimes = {secondRun, firstRun};
    testing::prefetchOf(record).formatVersion = 30;
    testing::prefetchOf(record).pathHash = 0x00ABCDEF;
    testing::prefetchOf(record).volumes = {
        PrefetchVolume{L"\\VOLUME{01d5f51ea48267ca-96a49c74}", 0, 0x96A49C74}};
    testing::prefetchOf(record).volumeCount = 1;
    return record;
}

LaunchRecord userAssistRecord() {
    LaunchRecord record = makeRecord(userAssistSource);
    record.name = L"editor.exe";
    record.path = L"{0762D272-C50A-4BB0-A382-697DCD729B80}\\bob\\editor.exe";
    record.pathStatus = PathStatus::FolderIdUnresolved;
    record.runCount = 1;
    record.runCountKnown = 1;
    record.runTimes = {firstRun};
    record.userName = L"bob";
    record.userSid = L"S-1-5-21-1-2-3-1002";
    return record;
}

bool has(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

TEST(JsonRecord, AWithheldCountIsNullAndNeverANumber) {
    LaunchRecord record = prefetchRecord();
    record.runCountKnown = 0;
    record.runCount = 5; // what the file said, and failed its check
    const std::string json = jsonReportRecord(record, testing::allSources(), true);
    EXPECT_TRUE(has(json, "\"run_count\":null,\"run_count_known\":false")) << json;
    EXPECT_FALSE(has(json, "\"run_count\":5"));
    EXPECT_TRUE(
        has(json, "{\"filetime\":133497900000000000,\"utc\":\"2024-01-15T11:00:00.0000000Z\"}"));
    EXPECT_TRUE(has(json, "\"volume_created\":null")) << "a volume time of 0 is none recorded";
    EXPECT_TRUE(has(json, "\"serial_hex\":\"96A49C74\""));
    EXPECT_TRUE(has(json, "\"path_hash\":\"00ABCDEF\""));
}

TEST(JsonRecord, FieldsOfTheOtherSourceAreNull) {
    const std::string json = jsonReportRecord(userAssistRecord(), testing::allSources(), false);
    EXPECT_EQ(json.rfind(",\n{", 0), 0u) << "a later record follows its comma";
    for (const char* field : {"format_version", "path_hash", "referenced_files", "volumes",
                              "volume_serial", "recorded_path", "focus_count"}) {
        EXPECT_TRUE(has(json, std::string("\"") + field + "\":null")) << field;
    }
    EXPECT_TRUE(has(json, "\"path_status\":\"folder id unresolved\""));
}

TEST(JsonDocument, ItSaysWhatWasScannedAndWhetherThePictureIsComplete) {
    ScanTally tally = testing::tableTally();
    ScanFacts facts = testing::tableFacts();
    facts.profileCoverageKnown = 1;
    facts.profilesOnMachine = 2;
    facts.profilesExamined = 2;
    const std::string machine =
        jsonReportOpening(tally, facts, testing::thisMachineOrigin(L"HOST"));
    EXPECT_TRUE(has(machine, "\"scanned\":{\"kind\":\"this machine\",\"host\":\"HOST\","
                             "\"evidence_folder\":null,\"hives\":null,\"refused_entries\":null,"
                             "\"sources\":[{\"source\":\"Prefetch\",\"presence\":"));
    EXPECT_TRUE(has(machine, "{\"source\":\"AppCompatCache\",\"presence\":\"not looked for\","
                             "\"note\":null,\"times_are_runs\":false}"));
    EXPECT_TRUE(has(machine, "\"complete\":true,\"reasons\":[]"));
    EXPECT_TRUE(has(machine, "\"span_oldest\":null")) << "no span, no moments";

    tally[prefetchMalformed] = 2;
    facts.profilesNotExamined = 1;
    facts.profilesOnMachine = 3;
    const std::string evidence =
        jsonReportOpening(tally, facts, testing::evidenceOrigin(L"/case/C", L""));
    EXPECT_TRUE(has(evidence, "\"kind\":\"evidence root\",\"host\":null,"
                              "\"evidence_folder\":\"/case/C\""));
    EXPECT_TRUE(has(evidence, "\"prefetch_malformed\":2,"));
    EXPECT_TRUE(has(evidence, "\"complete\":false,\"reasons\":[\"prefetch malformed 2\","
                              "\"UserAssist examined in 2 of 3 profiles\"]"));
    // The document closes whatever number of records came between.
    EXPECT_EQ(evidence.substr(evidence.size() - 12), ",\"records\":[");
    EXPECT_EQ(jsonReportClosing({}, {}, ScanOrigin{})
                  .rfind("\n],\"programs\":[\n],\"program_counts\":{"
                         "\"programs\":0,",
                         0),
              0u);
}

TEST(JsonDocument, AnEvidenceScanListsEveryHiveItLookedForAndEveryEntryItRefused) {
    ScanOrigin origin = testing::evidenceOrigin(L"/case/C", L"PC7");
    ExaminedHive system;
    system.hive = L"SYSTEM";
    system.path = L"/case/C/Windows/System32/config/SYSTEM";
    system.outcome = HiveOutcome::Recovered;
    system.logEntriesApplied = 23;
    system.earlierEntriesMissing = true;
    ExaminedHive user;
    user.hive = L"NTUSER.DAT";
    user.machinePath = L"C:\\Users\\bob\\NTUSER.DAT";
    user.userSid = L"S-1-5-21-1-2-3-1002";
    user.userName = L"bob";
    user.why = L"the profile's folder is not in the evidence";
    origin.hives = {system, user};
    origin.refused = {{L"/case/C/Windows/Prefetch/X.pf", L"not a regular file"}};
    const std::string json = jsonReportOpening(ScanTally{}, ScanFacts{}, origin);
    EXPECT_TRUE(has(json, "\"hives\":[{\"hive\":\"SYSTEM\","
                          "\"path\":\"/case/C/Windows/System32/config/SYSTEM\","
                          "\"machine_path\":null,\"user_sid\":null,\"user_name\":null,"
                          "\"outcome\":\"recovered\",\"log_entries_applied\":23,"
                          "\"earlier_log_entries_missing\":true,\"why\":null},"));
    EXPECT_TRUE(has(json, "{\"hive\":\"NTUSER.DAT\",\"path\":null,"
                          "\"machine_path\":\"C:\\\\Users\\\\bob\\\\NTUSER.DAT\","
                          "\"user_sid\":\"S-1-5-21-1-2-3-1002\",\"user_name\":\"bob\","
                          "\"outcome\":\"missing\",\"log_entries_applied\":0,"
                          "\"earlier_log_entries_missing\":false,"
                          "\"why\":\"the profile's folder is not in the evidence\"}]"));
    EXPECT_TRUE(has(json, "\"refused_entries\":[{\"path\":\"/case/C/Windows/Prefetch/X.pf\","
                          "\"why\":\"not a regular file\"}]"));
}

TEST(Timeline, EveryRecordedRunIsAnEventThatNamesWhatRanWhereAndForWhom) {
    ScanTally tally;
    tally[prefetchUnreadable] = 1;
    const TimelineScan scan = timelineScan(tally, ScanFacts{}, testing::thisMachineOrigin(L"PC7"));
    EXPECT_FALSE(scan.complete);

    const std::string prefetch = timelineEvents(prefetchRecord(), 7, scan);
    ASSERT_EQ(std::count(prefetch.begin(), prefetch.end(), '\n'), 2);
    const std::string first = prefetch.substr(0, prefetch.find('\n'));
    EXPECT_EQ(
        first.rfind("{\"message\":\"TOOL.EXE was started on PC7 from C:\\\\TOOLS\\\\TOOL.EXE; "
                    "run time 1 of 2 in its Prefetch file, which does not record the user\","
                    "\"datetime\":\"2024-01-15T11:00:00.000000+00:00\","
                    "\"timestamp\":1705316400000000,"
                    "\"timestamp_desc\":\"Prefetch: program run\",",
                    0),
        0u)
        << first;
    EXPECT_TRUE(has(first, "\"coverage_complete\":false,\"coverage_reasons\":[\"prefetch "
                           "unreadable 1\",\"UserAssist profile coverage could not be "
                           "determined\"]}"));
    EXPECT_TRUE(has(prefetch, "\"run_index\":2,\"run_times_recorded\":2"));

    const std::string shell = timelineEvents(userAssistRecord(), 8, scan);
    EXPECT_EQ(shell.rfind("{\"message\":\"editor.exe was last launched through the shell by bob "
                          "on PC7 from {0762D272-C50A-4BB0-A382-697DCD729B80}\\\\bob\\\\editor.exe "
                          "(folder id unresolved); the shell counted 1 launch\"",
                          0),
              0u)
        << shell;
    EXPECT_TRUE(has(shell, "\"timestamp_desc\":\"UserAssist: last shell launch\""));

    LaunchRecord never = userAssistRecord();
    never.runTimes.clear();
    EXPECT_EQ(timelineEvents(never, 1, scan), "") << "no time, no event";
}

TEST(ReportFormat, NamesAndExtensionsChooseTheForm) {
    EXPECT_EQ(reportFormatNamed(L"csv"), ReportFormat::Csv);
    EXPECT_EQ(reportFormatNamed(L"json"), ReportFormat::Json);
    EXPECT_EQ(reportFormatNamed(L"timeline"), ReportFormat::Timeline);
    EXPECT_FALSE(reportFormatNamed(L"JSON").has_value()) << "option values are exact";
    EXPECT_FALSE(reportFormatNamed(L"jsonl").has_value());
    EXPECT_FALSE(reportFormatNamed(L"").has_value());

    EXPECT_EQ(reportFormatForFileName(L"C:\\out\\a.JSON", ReportFormat::Csv), ReportFormat::Json);
    EXPECT_EQ(reportFormatForFileName(L"a.jsonl", ReportFormat::Csv), ReportFormat::Timeline);
    EXPECT_EQ(reportFormatForFileName(L"a.Csv", ReportFormat::Timeline), ReportFormat::Csv);
    EXPECT_EQ(reportFormatForFileName(L"a.txt", ReportFormat::Json), ReportFormat::Json);
    EXPECT_EQ(reportFormatForFileName(L"json", ReportFormat::Timeline), ReportFormat::Timeline);
}

TEST(JsonDocument, AnImageSaysWhatOfItWasReadAndEveryRunTimeItsCopy) {
    ScanOrigin origin = testing::imageOrigin(L"/case/disk.E01 :: partition 3");
    origin.imageRead = {L"/case/disk.E01",
                        L"E01",
                        L"GPT",
                        3,
                        36700160,
                        L"NTFS",
                        L"its GPT header does not match its checksum",
                        true};
    origin.copies = {{L"current volume", 0, L"", true},
                     {L"shadow copy 2", 130305262689190583ULL, L"600f0b6d", true},
                     {L"shadow copy 1", 130305261097363787ULL, L"600f0b69", false}};
    const std::string opening = jsonReportOpening(ScanTally{}, ScanFacts{}, origin);
    EXPECT_TRUE(has(opening, "\"kind\":\"disk image\""));
    EXPECT_TRUE(has(opening, "\"image\":{\"path\":\"/case/disk.E01\",\"format\":\"E01\","
                             "\"partition_table\":\"GPT\",\"partition_table_damage\":\"its GPT "
                             "header does not match its checksum\",\"partition\":3,\"offset\":"
                             "36700160,\"file_system\":\"NTFS\","
                             "\"shadow_copy_catalog_unreadable\":true}"));
    EXPECT_TRUE(has(opening, "{\"label\":\"shadow copy 2\",\"created\":{\"filetime\":"
                             "130305262689190583,\"utc\":\"2013-12-03T06:37:48.9190583Z\"},"
                             "\"identifier\":\"600f0b6d\",\"read\":true}"));
    EXPECT_TRUE(has(opening, "\"read\":false}]")) << "a copy that could not be read says so";

    LaunchRecord record = makeRecord(prefetchSource);
    record.name = L"CALC.EXE";
    record.runTimes = {133500000000000000ULL, 133400000000000000ULL};
    record.copies = {0, 1};
    record.runTimeCopies = {0, 1};
    testing::prefetchOf(record).deletedFile = 1;
    const std::string json = jsonReportRecord(record, testing::allSources(), true);
    EXPECT_TRUE(has(json, "\"run_times\":[{\"filetime\":133500000000000000,\"utc\":"
                          "\"2024-01-17T21:20:00.0000000Z\",\"copy\":0},{\"filetime\":"
                          "133400000000000000,"));
    EXPECT_TRUE(has(json, "\"copy\":1}],\"copies\":[0,1],\"only_in_shadow_copies\":false"));
    EXPECT_TRUE(has(json, "\"deleted_file\":true"));
    const std::string events =
        timelineEvents(record, 1, timelineScan(ScanTally{}, ScanFacts{}, origin));
    EXPECT_NE(events.find("\"run_index\":2,\"run_times_recorded\":2,\"copy\":1"), std::string::npos)
        << events;

    // A record of one state only, as every folder's, names no copy at all.
    record.copies.clear();
    record.runTimeCopies.clear();
    testing::prefetchOf(record).deletedFile = 0;
    const std::string plain = jsonReportRecord(record, testing::allSources(), true);
    EXPECT_FALSE(has(plain, "copy"));
    EXPECT_FALSE(has(plain, "deleted_file"));
}

} // namespace
} // namespace tidewell
