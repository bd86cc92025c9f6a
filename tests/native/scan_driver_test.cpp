// One whole scan over a fake machine: both sources, the span, the
// failure flag, and nothing of an earlier scan left.
#include "scan/scan_driver.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/record_source.h"
#include "fake/fake_machine.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_setup.h"
#include "prefetch/prefetch_source.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "support/temp_folder.h"
#include "userassist/sample/userassist_values.h"
#include "userassist/userassist_reader.h"

namespace tidewell {
namespace {

constexpr FileTime now = 133616736000000000ULL;
const std::wstring ownSid = L"S-1-5-21-5-6-7-1001";

std::vector<std::uint8_t> prefetchImage(const std::wstring& name, std::vector<FileTime> runs,
                                        std::uint32_t count) {
    sample::PrefetchImageSpec spec;
    spec.name = name;
    spec.runTimeSlots = std::move(runs);
    spec.runCount = count;
    spec.alternateRunCount = count;
    return sample::buildPrefetchImage(spec);
}

class ScanDriver : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setFixedNow(now);
        fake::setOwnSid(ownSid);
        windows.makeFolder("Prefetch");
        fake::setWindowsDirectory(windows.text());
        fake::createRegistryKey(RegistryRoot::LocalMachine,
                                L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" +
                                    ownSid);
    }
    void TearDown() override { fake::resetAll(); }

    void addPrefetch(const std::string& file, const std::vector<std::uint8_t>& image) {
        std::filesystem::path prefetch = windows.path / "Prefetch";
        std::ofstream(prefetch / file, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
    }
    void addUserAssist(const std::wstring& program, FileTime stamp) {
        fake::setRegistryValue(RegistryRoot::CurrentUser,
                               std::wstring(userAssistKeyPath) +
                                   L"\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count",
                               sample::rot13(L"C:\\" + program), registryTypeBinary,
                               sample::userAssistData(1, 1, 1, stamp));
    }

    testing::TempFolder windows;
};

TEST_F(ScanDriver, BothSourcesTheSpanAndNoFailure) {
    addPrefetch("A.EXE-00000001.pf",
                prefetchImage(L"A.EXE", {133500000000000000ULL, 133400000000000000ULL}, 2));
    addUserAssist(L"old.exe", 133000000000000000ULL); // older than every Prefetch time
    addUserAssist(L"nostamp.exe", 0);
    ScanResults results;
    runScan(ScanTarget{}, results);
    ASSERT_EQ(results.records.size(), 3u);
    EXPECT_EQ(results.records[0].source, &prefetchSource);
    EXPECT_TRUE(results.facts.spanKnown);
    EXPECT_EQ(results.facts.spanOldest, 133000000000000000ULL);
    EXPECT_EQ(results.facts.spanNewest, 133500000000000000ULL);
    EXPECT_FALSE(results.anyFailure);
    EXPECT_TRUE(results.facts.profileCoverageKnown);
    EXPECT_EQ(results.facts[prefetchRetentionLimit].value, 128u);
}

TEST_F(ScanDriver, TwoScansInARowGiveTheSameResultsNotTwiceAsMany) {
    addPrefetch("A.EXE-00000001.pf", prefetchImage(L"A.EXE", {133500000000000000ULL}, 1));
    addUserAssist(L"b.exe", 133500000000000000ULL);
    ScanResults results;
    runScan(ScanTarget{}, results);
    const std::size_t firstCount = results.records.size();
    const ScanTally firstTally = results.tally;
    runScan(ScanTarget{}, results);
    EXPECT_EQ(results.records.size(), firstCount);
    EXPECT_EQ(results.tally, firstTally);
}

TEST_F(ScanDriver, OnlyTheUnreadablePrefetchFolderSetsTheFailureFlag) {
    addUserAssist(L"b.exe", 133500000000000000ULL);
    fake::failListing(windows.text() + L"\\Prefetch\\*", {5, -1, 0});
    ScanResults results;
    runScan(ScanTarget{}, results);
    EXPECT_EQ(results.tally[prefetchDirUnreadable], 1u);
    EXPECT_TRUE(results.anyFailure);
    EXPECT_EQ(results.records.size(), 1u) << "UserAssist is read all the same";
}

TEST_F(ScanDriver, CountersThatAreNotFailuresLeaveTheFlagClear) {
    // A withheld run count, and a volume that cannot be identified.
    sample::PrefetchImageSpec spec;
    spec.name = L"A.EXE";
    spec.runTimeSlots = {133500000000000000ULL, 133400000000000000ULL};
    spec.runCount = 1;
    spec.alternateRunCount = 1;
    spec.referencedFiles = {L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\A.EXE"};
    addPrefetch("A.EXE-00000001.pf", sample::buildPrefetchImage(spec));
    addUserAssist(L"stamp.exe", 133500000000000000ULL);
    ScanResults results;
    runScan(ScanTarget{}, results);
    EXPECT_EQ(results.tally[prefetchRunCountUnverified], 1u);
    EXPECT_EQ(results.tally[volumesNotIdentified], 1u);
    EXPECT_FALSE(results.anyFailure);
}

TEST_F(ScanDriver, WithoutAWindowsDirectoryPrefetchIsNotAttempted) {
    addUserAssist(L"b.exe", 133500000000000000ULL);
    fake::clearWindowsDirectory();
    ScanResults results;
    runScan(ScanTarget{}, results);
    EXPECT_EQ(results.tally[prefetchDirUnreadable], 1u);
    EXPECT_EQ(results.tally[prefetchSeen], 0u);
    EXPECT_TRUE(results.anyFailure);
    EXPECT_EQ(results.records.size(), 1u);
}

TEST_F(ScanDriver, NoRecordsOrOnlyEmptyRunTimesLeaveTheSpanUnknown) {
    ScanFacts facts;
    computeRunTimeSpan({}, facts);
    EXPECT_FALSE(facts.spanKnown);
    RecordList records(3);
    records[1].runTimes = {0, 0};
    computeRunTimeSpan(records, facts);
    EXPECT_FALSE(facts.spanKnown);
    EXPECT_EQ(facts.spanOldest, 0u);
    EXPECT_EQ(facts.spanNewest, 0u);
    // Zero entries are skipped wherever they stand.
    records[2].runTimes = {0, 50, 0, 20, 70};
    records[0].runTimes = {60};
    computeRunTimeSpan(records, facts);
    EXPECT_TRUE(facts.spanKnown);
    EXPECT_EQ(facts.spanOldest, 20u);
    EXPECT_EQ(facts.spanNewest, 70u);
}

} // namespace
} // namespace tidewell
