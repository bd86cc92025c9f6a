// The Run dialog's commands: MRUList's order, the trailing \1, values in no
// shape a command has, the newest alone dated, and whole scans of a written
// drive and of a real user's hive.
#include <gtest/gtest.h>

#include "runmru/runmru_counters.h"
#include "runmru/runmru_details.h"
#include "runmru/runmru_reader.h"
#include "runmru/runmru_source.h"
#include "runmru/sample/runmru_key.h"
#include "sample/evidence_tree.h"
#include "support/scans.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

const std::wstring alice = L"S-1-5-21-7-8-9-1001";

KeyValue text(const std::wstring& name, const std::wstring& value) {
    return {name, 1, sample::registryText(value)};
}

TEST(RunMruKey, CommandsComeNewestFirstAndOnlyTheNewestIsDated) {
    RegistryKey none;
    const UserHive hive{alice, L"alice", &none, false, nullptr};
    RecordList records;
    ScanTally tally;
    // The key lists its values in any order; MRUList says which is newest.
    makeRunMruRecords({text(L"a", L"cmd\\1"), text(L"b", L"C:\\Tools\\wipe.exe\\1"),
                       text(L"MRUList", L"bca"), text(L"c", L"\"C:\\Program Files\\x.exe\"\\1"),
                       text(L"d", L"notepad"), KeyValue{L"e", 4, sample::registryDword(1)},
                       text(L"f", L"\\1")},
                      0x01D9000000000000ULL, hive, records, tally);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(tally[runMruCommandsRead], 4u);
    EXPECT_EQ(tally[runMruWrongShape], 2u); // a DWORD; nothing before the \1
    EXPECT_EQ(tally[runMruOutOfOrder], 1u); // d is not in MRUList
    EXPECT_EQ(records[0].name, L"wipe.exe");
    EXPECT_EQ(records[0].path, L"C:\\Tools\\wipe.exe");
    EXPECT_EQ(records[0].pathStatus, PathStatus::Resolved);
    EXPECT_EQ(records[0].runTimes, std::vector<std::uint64_t>{0x01D9000000000000ULL});
    EXPECT_EQ(records[1].name, L"x.exe");
    EXPECT_EQ(records[1].path, L"C:\\Program Files\\x.exe");
    EXPECT_TRUE(records[1].runTimes.empty());
    EXPECT_EQ(records[2].name, L"cmd");
    EXPECT_EQ(records[2].pathStatus, PathStatus::NoPathRecorded);
    EXPECT_EQ(runMruDetails(records[2])->position, 3u);
    EXPECT_EQ(records[3].name, L"notepad");
    EXPECT_EQ(runMruDetails(records[3])->position, 0u);
    EXPECT_EQ(runMruSource.listDetail(records[0]), L"typed into Run, position 1 of 3 (the newest)");
    EXPECT_EQ(runMruSource.listDetail(records[3]), L"typed into Run, not placed by MRUList");
    const std::wstring detail = buildDetailText(records[2], DetailContext{});
    EXPECT_NE(detail.find(L"Command:           cmd\\1\r\n"), std::wstring::npos)
        << testing::narrow(detail);
    EXPECT_NE(detail.find(L"none recorded"), std::wstring::npos);

    // Without MRUList every command is kept, none dated.
    RecordList unordered;
    ScanTally counted;
    makeRunMruRecords({text(L"a", L"cmd\\1")}, 5, hive, unordered, counted);
    ASSERT_EQ(unordered.size(), 1u);
    EXPECT_TRUE(unordered[0].runTimes.empty());
    EXPECT_EQ(counted[runMruOutOfOrder], 1u);
}

void writeDrive(const std::filesystem::path& root) {
    sample::writeEvidenceFile(
        root, "Windows/System32/config/SOFTWARE",
        sample::writeHive(sample::softwareHive({{alice, L"C:\\Users\\alice"}})));
    sample::writeEvidenceFile(root, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root, "Windows/Prefetch/.keep", {});
}

TEST(RunMruEvidence, AWrittenKeyAndARealUsersAreRead) {
    testing::TempFolder root;
    writeDrive(root.path);
    sample::HiveSpec hive;
    sample::addRunMru(hive.root, {L"regedit", L"C:\\Tools\\wipe.exe", L"cmd"});
    sample::writeEvidenceFile(root.path, "Users/alice/NTUSER.DAT", sample::writeHive(hive));
    const ScanResults results = testing::scanEvidence(root.path);
    EXPECT_EQ(readingOf(results.origin, runMruSource).presence, SourcePresence::Read);
    EXPECT_EQ(readingOf(results.origin, runMruSource).note,
              L"the Run dialog's commands of 1 of 1 users' hives");
    const std::vector<const LaunchRecord*> records = testing::recordsOf(results, runMruSource);
    ASSERT_EQ(records.size(), 3u);
    const LaunchRecord* regedit = testing::recordNamed(records, L"regedit");
    ASSERT_NE(regedit, nullptr);
    EXPECT_EQ(regedit->runTimes, std::vector<std::uint64_t>{hive.lastWritten});
    EXPECT_EQ(regedit->userName, L"alice");

    TIDEWELL_REQUIRE_CORPUS("sources/registry");
    testing::TempFolder real;
    writeDrive(real.path);
    sample::writeEvidenceFile(
        real.path, "Users/alice/NTUSER.DAT",
        testing::readWholeFile(testing::corpusRoot() /
                               "sources/registry/regipy/NTUSER_with_winscp.DAT"));
    const ScanResults scanned = testing::scanEvidence(real.path);
    const std::vector<const LaunchRecord*> commands = testing::recordsOf(scanned, runMruSource);
    ASSERT_EQ(commands.size(), 18u);
    EXPECT_EQ(scanned.tally[runMruOutOfOrder], 0u);
    EXPECT_EQ(scanned.tally[runMruWrongShape], 0u);
    // MRUList "ladhcimrqponkjegfb": l is the newest, b the oldest.
    EXPECT_EQ(commands.front()->name, L"C:\\Users\\tony");
    EXPECT_EQ(commands.front()->runTimes.size(), 1u);
    EXPECT_EQ(commands.back()->name, L"c:\\S3Resources");
    EXPECT_EQ(runMruDetails(*commands.back())->position, 18u);
    EXPECT_TRUE(commands.back()->runTimes.empty());
}

} // namespace
} // namespace tidewell
