// The history of each program across states of one machine: records of older
// copies merged into the current ones, every run time with the copy it was
// found in. First on records made here, then on two scans of collected
// drives written for the test, one standing for an older copy of the other.
#include "scan/state_merge.h"

#include <gtest/gtest.h>

#include "core/record_source.h"
#include "core/scan_counters.h"
#include "prefetch/prefetch_source.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "sample/evidence_tree.h"
#include "scan/scan_driver.h"
#include "support/record_details.h"
#include "support/temp_folder.h"
#include "userassist/sample/userassist_values.h"
#include "userassist/userassist_reader.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

constexpr FileTime day = 864000000000ULL;
constexpr FileTime base = 133500000000000000ULL;

LaunchRecord prefetchRecord(const std::wstring& file, std::vector<FileTime> runs,
                            std::uint32_t count) {
    LaunchRecord record = makeRecord(prefetchSource);
    record.name = file.substr(0, file.find(L'-'));
    record.recordFile = L"E:\\case.E01 :: partition 3 :: \\Windows\\Prefetch\\" + file;
    record.runTimes = std::move(runs);
    record.runCount = count;
    record.runCountKnown = 1;
    return record;
}

LaunchRecord userAssistRecord(const std::wstring& sid, const std::wstring& path, FileTime run) {
    LaunchRecord record = makeRecord(userAssistSource);
    record.userSid = sid;
    record.path = path;
    record.name = path.substr(path.rfind(L'\\') + 1);
    record.runTimes = {run};
    record.runCount = 1;
    record.runCountKnown = 1;
    return record;
}

TEST(StateMerge, RunTimesOfEveryCopyGatherNewestFirstEachWithItsCopy) {
    RecordList records = {prefetchRecord(L"CALC.EXE-77FDF17F.pf", {base + 9, base + 8}, 12)};
    markCurrentState(records);
    ASSERT_EQ(records[0].copies, (std::vector<CopyIndex>{0}));
    ASSERT_EQ(records[0].runTimeCopies, (std::vector<CopyIndex>{0, 0}));

    // The newest copy shares one run with the current volume and adds two;
    // the next one adds one more. Its name folds alike: the same file.
    RecordList newer = {prefetchRecord(L"calc.exe-77fdf17f.pf", {base + 8, base + 5, base + 7}, 9)};
    RecordList oldest = {prefetchRecord(L"CALC.EXE-77FDF17F.pf", {base + 2, base + 5}, 4)};
    ScanTally tally;
    mergeOlderState(records, newer, 1, tally);
    mergeOlderState(records, oldest, 2, tally);
    // A copy far down a long catalog keeps its own number.
    RecordList far = {prefetchRecord(L"FAR.EXE-12345678.pf", {base + 1}, 1)};
    ScanTally farTally;
    mergeOlderState(records, far, 65537, farTally);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].copies, (std::vector<CopyIndex>{65537}));
    EXPECT_EQ(records[1].runTimeCopies, (std::vector<CopyIndex>{65537}));
    records.pop_back();
    orderMergedRunTimes(records);

    ASSERT_EQ(records.size(), 1u);
    const LaunchRecord& calc = records[0];
    EXPECT_EQ(calc.runTimes,
              (std::vector<FileTime>{base + 9, base + 8, base + 7, base + 5, base + 2}));
    EXPECT_EQ(calc.runTimeCopies, (std::vector<CopyIndex>{0, 0, 1, 1, 2}));
    EXPECT_EQ(calc.copies, (std::vector<CopyIndex>{0, 1, 2}));
    EXPECT_EQ(calc.runCount, 12u) << "the current volume's count";
    EXPECT_EQ(tally[shadowCopyRunTimesAdded], 3u);
    EXPECT_EQ(tally[shadowCopyOnlyRecords], 0u);
}

TEST(StateMerge, AProgramOnlyOlderCopiesHoldIsARecordOfItsOwn) {
    RecordList records = {prefetchRecord(L"A.EXE-00000001.pf", {base}, 1)};
    markCurrentState(records);
    // Evicted since: the newest copy that holds it gives its count.
    RecordList newer = {prefetchRecord(L"GONE.EXE-00000002.pf", {base - day}, 5)};
    RecordList older = {prefetchRecord(L"GONE.EXE-00000002.pf", {base - 3 * day}, 2)};
    ScanTally tally;
    mergeOlderState(records, newer, 1, tally);
    mergeOlderState(records, older, 2, tally);
    orderMergedRunTimes(records);
    ASSERT_EQ(records.size(), 2u);
    const LaunchRecord& gone = records[1];
    EXPECT_EQ(gone.copies, (std::vector<CopyIndex>{1, 2}));
    EXPECT_EQ(gone.runCount, 5u);
    EXPECT_EQ(gone.runTimes, (std::vector<FileTime>{base - day, base - 3 * day}));
    EXPECT_EQ(gone.runTimeCopies, (std::vector<CopyIndex>{1, 2}));
    EXPECT_EQ(tally[shadowCopyOnlyRecords], 1u);
    // The record the current volume alone holds keeps its times as recorded.
    EXPECT_EQ(records[0].copies, (std::vector<CopyIndex>{0}));
}

TEST(StateMerge, ADeletedFileAndAnotherUsersEntryAreNotTheSameProgram) {
    LaunchRecord deleted = prefetchRecord(L"PING.EXE-B29F6629.pf", {base - day}, 3);
    testing::prefetchOf(deleted).deletedFile = 1;
    RecordList records = {prefetchRecord(L"PING.EXE-B29F6629.pf", {base}, 4), deleted,
                          userAssistRecord(L"S-1-5-21-1-2-3-1001", L"C:\\Tools\\x.exe", base)};
    markCurrentState(records);
    RecordList older = {userAssistRecord(L"S-1-5-21-1-2-3-1001", L"c:\\tools\\X.EXE", base - day),
                        userAssistRecord(L"S-1-5-21-1-2-3-1002", L"C:\\Tools\\x.exe", base - day)};
    ScanTally tally;
    mergeOlderState(records, older, 1, tally);
    orderMergedRunTimes(records);
    ASSERT_EQ(records.size(), 4u) << "the other user's entry stands on its own";
    EXPECT_EQ(records[2].runTimes, (std::vector<FileTime>{base, base - day}))
        << "the same user's entry: an earlier run";
    EXPECT_EQ(records[1].runTimes, (std::vector<FileTime>{base - day}));
    EXPECT_EQ(records[0].runTimes, (std::vector<FileTime>{base}));
    EXPECT_EQ(records[3].userSid, L"S-1-5-21-1-2-3-1002");
}

// Two collected drives of one machine, the second standing for an older copy
// of the first: a Prefetch file with older run times, a file since evicted,
// and an older NTUSER.DAT whose entry last ran earlier.
TEST(StateMerge, TwoScansOfTheSameMachineMergeAsTheirCopiesWould) {
    const std::wstring alice = L"S-1-5-21-7-8-9-1001";
    const std::wstring countKey =
        std::wstring(userAssistKeyPath) + L"\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";
    const auto prefetchFile = [](const std::wstring& name, std::vector<FileTime> runs) {
        sample::PrefetchImageSpec spec;
        spec.name = name;
        spec.runTimeSlots = std::move(runs);
        spec.runCount = static_cast<std::uint32_t>(spec.runTimeSlots.size());
        spec.alternateRunCount = spec.runCount;
        spec.referencedFiles = {L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\WINDOWS\\" + name};
        return sample::buildPrefetchImage(spec);
    };
    const auto userHive = [&](FileTime run) {
        sample::HiveSpec spec;
        sample::keyAt(spec.root, countKey).values = {
            {sample::rot13(L"C:\\Tools\\tool.exe"), 3, sample::userAssistData(2, 1, 500, run)}};
        return sample::writeHive(spec);
    };
    testing::TempFolder current;
    testing::TempFolder older;
    for (const auto* folder : {&current, &older}) {
        sample::writeEvidenceFile(
            folder->path, "Windows/System32/config/SOFTWARE",
            sample::writeHive(sample::softwareHive({{alice, L"C:\\Users\\alice"}})));
    }
    sample::writeEvidenceFile(current.path, "Windows/Prefetch/CALC.EXE-00000001.pf",
                              prefetchFile(L"CALC.EXE", {base + 9 * day, base + 8 * day}));
    sample::writeEvidenceFile(older.path, "Windows/Prefetch/CALC.EXE-00000001.pf",
                              prefetchFile(L"CALC.EXE", {base + 8 * day, base + 4 * day}));
    sample::writeEvidenceFile(older.path, "Windows/Prefetch/OLD.EXE-00000002.pf",
                              prefetchFile(L"OLD.EXE", {base + 2 * day}));
    sample::writeEvidenceFile(current.path, "Users/alice/NTUSER.DAT", userHive(base + 7 * day));
    sample::writeEvidenceFile(older.path, "Users/alice/NTUSER.DAT", userHive(base + 3 * day));

    ScanResults now;
    ScanResults then;
    runScan(ScanTarget{ScanSubject::EvidenceRoot, testing::programText(current.path)}, now);
    runScan(ScanTarget{ScanSubject::EvidenceRoot, testing::programText(older.path)}, then);
    markCurrentState(now.records);
    mergeOlderState(now.records, then.records, 1, now.tally);
    orderMergedRunTimes(now.records);

    ASSERT_EQ(now.records.size(), 3u);
    const auto named = [&](const std::wstring& name) {
        return *std::find_if(now.records.begin(), now.records.end(),
                             [&](const LaunchRecord& r) { return r.name == name; });
    };
    EXPECT_EQ(named(L"CALC.EXE").runTimes,
              (std::vector<FileTime>{base + 9 * day, base + 8 * day, base + 4 * day}));
    EXPECT_EQ(named(L"CALC.EXE").runTimeCopies, (std::vector<CopyIndex>{0, 0, 1}));
    EXPECT_EQ(named(L"OLD.EXE").copies, (std::vector<CopyIndex>{1}));
    EXPECT_EQ(named(L"tool.exe").runTimes, (std::vector<FileTime>{base + 7 * day, base + 3 * day}));
    EXPECT_EQ(now.tally[shadowCopyOnlyRecords], 1u);
    EXPECT_EQ(now.tally[shadowCopyRunTimesAdded], 2u);
}

} // namespace
} // namespace tidewell
