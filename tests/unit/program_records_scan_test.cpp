// Whole scans of evidence roots that hold the records Windows keeps beside
// Prefetch and UserAssist: the moderators' values (both key layouts, both
// moderators, the bookkeeping and the odd values), the compatibility cache
// of the current control set, and an Amcache hive brought up to date from
// its log. And a machine that keeps none of them, which is said, not failed.
#include <gtest/gtest.h>

#include "core/scan_counters.h"
#include "core/scan_driver.h"
#include "report/csv_report.h"
#include "sample/evidence_tree.h"
#include "sample/program_records.h"
#include "support/corpus_files.h"
#include "support/temp_folder.h"
#include "ui/coverage_text.h"

namespace tidewell {
namespace {

using sample::HiveSpec;
using sample::writeEvidenceFile;

constexpr FileTime aRun = 133500000000000000ULL;       // 2024-01-17
constexpr FileTime anotherRun = 133400000000000000ULL; // 2023-09-24
const std::wstring alice = L"S-1-5-21-7-8-9-1001";
const std::wstring bob = L"S-1-5-21-7-8-9-1002";

HiveSpec systemWithRecords() {
    HiveSpec system = sample::systemHive(3, L"EXAMINED");
    // The current control set is the second: the first's records are not read.
    sample::HiveKeySpec& current = sample::bamUserKey(system, L"ControlSet002", L"bam", alice);
    current.values = {
        {L"Version", 4, sample::registryDword(1)},
        {L"\\Device\\HarddiskVolume3\\Windows\\System32\\cmd.exe", 3, sample::bamData(aRun)},
        {L"Microsoft.Windows.Photos_8wekyb3d8bbwe", 3, sample::bamData(anotherRun)},
        {L"\\Device\\HarddiskVolume3\\short.exe", 3, {1, 2, 3, 4, 5, 6, 7}},
        {L"\\Device\\HarddiskVolume3\\text.exe", 1, sample::registryText(L"x")},
        {L"\\Device\\HarddiskVolume3\\never.exe", 3, sample::bamData(0)},
        {L"\\Device\\HarddiskVolume3\\future.exe", 3, sample::bamData(0x7FFFFFFFFFFFFFFFULL)},
        {L"SequenceNumber", 4, sample::registryDword(9)},
    };
    sample::bamUserKey(system, L"ControlSet002", L"bam", L"S-1-5-90-0-1"); // an empty SID key
    sample::bamUserKey(system, L"ControlSet002", L"dam", bob, true).values = {
        {L"\\Device\\HarddiskVolume3\\Tools\\old.exe", 3, sample::bamData(anotherRun)}};
    sample::bamUserKey(system, L"ControlSet001", L"bam", alice).values = {
        {L"\\Device\\HarddiskVolume3\\stale.exe", 3, sample::bamData(aRun)}};
    sample::compatCacheKey(system, L"ControlSet002").values = {
        {L"AppCompatCache", 3,
         sample::compatCacheValue(
             sample::CacheLayoutSpec::Windows10Creators,
             {{L"C:\\Tools\\run.exe", aRun, 0, 0, {9, 9, 9, 9}, L""},
              {L"SYSVOL\\Windows\\notepad.exe", anotherRun, 0, 0, {}, L""},
              {L"0000000b\t0006000200000000\t000a000000000000\t8664\tMicrosoft.WindowsStore\t"
               L"8wekyb3d8bbwe\tneutral",
               0,
               0,
               0,
               {},
               L""},
              {L"\\\\server\\share\\remote.exe", aRun, 0, 0, {}, L""}},
             1024)}};
    return system;
}

HiveSpec amcacheWith(const std::vector<sample::AmcacheInventorySpec>& inventory) {
    return sample::amcacheHive(
        inventory,
        {{L"{cafe0000-0000-0000-0000-000000000000}", L"100001605a", L"c:\\tools\\legacy.exe",
          L"0000" + std::wstring(40, L'b'), anotherRun, anotherRun - 10000000, 1600000000, 4096}});
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

class ProgramRecordsScan : public ::testing::Test {
protected:
    void SetUp() override {
        writeEvidenceFile(root.path, "Windows/System32/config/SOFTWARE",
                          sample::writeHive(sample::softwareHive(
                              {{alice, L"C:\\Users\\alice"}, {bob, L"C:\\Users\\bob"}})));
        writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM",
                          sample::writeHive(systemWithRecords()));
        writeEvidenceFile(root.path, "Windows/Prefetch/.keep", {});
        // Amcache: the primary holds the first state, its log the second,
        // which adds an entry; the primary's sequence numbers say so.
        std::vector<std::uint8_t> before = sample::writeHive(amcacheWith({notepad}));
        const std::vector<std::uint8_t> after = sample::writeHive(amcacheWith({notepad, unnamed}));
        sample::setSequenceNumbers(before, 11, 10);
        const std::vector<std::uint8_t> log =
            sample::writeNewFormatLog(before, 10,
                                      {{10, static_cast<std::uint32_t>(after.size() - 4096),
                                        sample::changedPages(before, after)}});
        writeEvidenceFile(root.path, "Windows/AppCompat/Programs/Amcache.hve", before);
        writeEvidenceFile(root.path, "Windows/AppCompat/Programs/Amcache.hve.LOG1", log);
    }
    ScanResults scan() {
        ScanResults results;
        runScan(ScanTarget{ScanSubject::EvidenceRoot, testing::programText(root.path)}, results);
        return results;
    }
    static std::vector<const LaunchRecord*> of(const ScanResults& results, RecordSource source) {
        std::vector<const LaunchRecord*> found;
        for (const LaunchRecord& record : results.records) {
            if (record.source == source) {
                found.push_back(&record);
            }
        }
        return found;
    }
    static const LaunchRecord* named(const std::vector<const LaunchRecord*>& records,
                                     const std::wstring& name) {
        for (const LaunchRecord* record : records) {
            if (record->name == name) {
                return record;
            }
        }
        ADD_FAILURE() << "no record named " << testing::narrow(name);
        return nullptr;
    }
    static SourcePresence presence(const ScanResults& results, RecordSource source) {
        return results.origin.sources[static_cast<std::size_t>(source)].presence;
    }

    testing::TempFolder root;
};

TEST_F(ProgramRecordsScan, TheModeratorsValuesOfTheCurrentControlSetAreEachARecord) {
    const ScanResults results = scan();
    EXPECT_EQ(presence(results, RecordSource::Bam), SourcePresence::Read);
    EXPECT_EQ(results.origin.sources[2].note, L"bam\\State\\UserSettings; dam\\UserSettings");
    const std::vector<const LaunchRecord*> bam = of(results, RecordSource::Bam);
    ASSERT_EQ(bam.size(), 5u) << "cmd, Photos, never, future, old";

    const LaunchRecord* cmd = named(bam, L"cmd.exe");
    ASSERT_NE(cmd, nullptr);
    // A copy proves no drive for the kernel's volume names: kept as recorded.
    EXPECT_EQ(cmd->path, L"\\Device\\HarddiskVolume3\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(cmd->pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(cmd->runTimes, std::vector<std::uint64_t>{aRun});
    EXPECT_EQ(cmd->runCountKnown, 0) << "a moderator counts no runs";
    EXPECT_EQ(cmd->userSid, alice);
    EXPECT_EQ(cmd->userName, L"alice") << "the profile folder's name stands for the account";
    EXPECT_EQ(bamDetails(*cmd)->desktopModerator, 0);

    const LaunchRecord* photos = named(bam, L"Microsoft.Windows.Photos_8wekyb3d8bbwe");
    ASSERT_NE(photos, nullptr);
    EXPECT_EQ(photos->pathStatus, PathStatus::NoPathRecorded);
    EXPECT_EQ(bamDetails(*photos)->packagedApplication, 1);

    const LaunchRecord* old = named(bam, L"old.exe");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(bamDetails(*old)->desktopModerator, 1);
    EXPECT_EQ(old->userName, L"bob");
    // No time, and an impossible one withheld: records without a run time.
    EXPECT_TRUE(named(bam, L"never.exe")->runTimes.empty());
    EXPECT_TRUE(named(bam, L"future.exe")->runTimes.empty());

    const ScanTally& tally = results.tally;
    EXPECT_EQ(tally.bamSeen, 9u);
    EXPECT_EQ(tally.bamBookkeepingSkipped, 2u);
    EXPECT_EQ(tally.bamUnknownShape, 2u) << "seven bytes, and text";
    EXPECT_EQ(tally.bamParsed, 5u);
    EXPECT_EQ(tally.bamNoTime, 1u);
    EXPECT_EQ(tally.bamImpossibleDate, 1u);
    EXPECT_EQ(tally.bamKeysUnreadable, 0u);
    EXPECT_EQ(tally.bamSeen, tally.bamBookkeepingSkipped + tally.bamUnknownShape + tally.bamParsed)
        << "every value ends in one outcome";
}

TEST_F(ProgramRecordsScan, TheCompatibilityCacheGivesEveryEntryWithItsFileTimeNotARun) {
    const ScanResults results = scan();
    EXPECT_EQ(presence(results, RecordSource::AppCompatCache), SourcePresence::Read);
    EXPECT_EQ(results.origin.sources[3].note, L"Windows 10 1703 and later or Windows 11");
    const std::vector<const LaunchRecord*> cache = of(results, RecordSource::AppCompatCache);
    ASSERT_EQ(cache.size(), 4u);
    for (const LaunchRecord* record : cache) {
        EXPECT_TRUE(record->runTimes.empty()) << "its time is no run";
    }
    const LaunchRecord* run = named(cache, L"run.exe");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->path, L"C:\\Tools\\run.exe");
    EXPECT_EQ(run->pathStatus, PathStatus::Resolved);
    EXPECT_EQ(appCompatCacheDetails(*run)->modified, aRun);
    EXPECT_EQ(appCompatCacheDetails(*run)->position, 1u);
    EXPECT_EQ(appCompatCacheDetails(*run)->entryData, (std::vector<std::uint8_t>{9, 9, 9, 9}));
    // SYSVOL is the system volume: placed on the drive the registry records.
    const LaunchRecord* notepadEntry = named(cache, L"notepad.exe");
    ASSERT_NE(notepadEntry, nullptr);
    EXPECT_EQ(notepadEntry->path, L"C:\\Windows\\notepad.exe");
    EXPECT_EQ(notepadEntry->pathStatus, PathStatus::Resolved);
    // A packaged application: named by its package, no path, no time.
    const LaunchRecord* store = named(cache, L"Microsoft.WindowsStore");
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->pathStatus, PathStatus::NoPathRecorded);
    EXPECT_EQ(appCompatCacheDetails(*store)->modified, 0u);
    EXPECT_EQ(named(cache, L"remote.exe")->pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(results.tally.compatCacheEntriesRead, 4u);
    EXPECT_EQ(results.tally.compatCacheCountDisagrees, 1u) << "1,024 stated, four there";
    EXPECT_EQ(results.tally.compatCacheEntriesMalformed, 0u);
    EXPECT_EQ(results.tally.compatCacheWalkStopped, 0u);
}

TEST_F(ProgramRecordsScan, AmcacheIsReadWithItsLogInBothLayouts) {
    const ScanResults results = scan();
    EXPECT_EQ(presence(results, RecordSource::Amcache), SourcePresence::Read);
    EXPECT_EQ(results.origin.sources[4].note,
              L"both layouts: Root\\InventoryApplicationFile and Root\\File");
    const std::vector<const LaunchRecord*> amcache = of(results, RecordSource::Amcache);
    ASSERT_EQ(amcache.size(), 3u) << "two of the new layout (one from the log), one of the old";
    const LaunchRecord* fromLog = named(amcache, L"dropper.exe");
    ASSERT_NE(fromLog, nullptr) << "a key named 0000<SHA-1> is named after its path";
    EXPECT_EQ(fromLog->path, L"c:\\users\\alice\\dropper.exe");
    EXPECT_TRUE(amcacheDetails(*fromLog)->sha1.empty());

    const LaunchRecord* note = named(amcache, L"notepad.exe");
    ASSERT_NE(note, nullptr);
    const AmcacheDetails& details = *amcacheDetails(*note);
    EXPECT_EQ(details.inventoryLayout, 1);
    EXPECT_EQ(details.sha1, std::wstring(40, L'a'));
    EXPECT_EQ(details.publisher, L"microsoft corporation");
    EXPECT_EQ(details.linkDate, L"12/26/2021 14:00:00");
    EXPECT_EQ(details.linkTime, 132850008000000000ULL); // 2021-12-26 14:00:00 UTC
    EXPECT_EQ(details.fileSize, 201216u);
    EXPECT_NE(details.lastWritten, 0u);
    EXPECT_EQ(note->recordFile.find(L"Amcache.hve") != std::wstring::npos, true);
    EXPECT_TRUE(note->runTimes.empty());

    const LaunchRecord* legacy = named(amcache, L"legacy.exe");
    ASSERT_NE(legacy, nullptr);
    const AmcacheDetails& old = *amcacheDetails(*legacy);
    EXPECT_EQ(old.inventoryLayout, 0);
    EXPECT_EQ(old.modified, anotherRun);
    EXPECT_EQ(old.created, anotherRun - 10000000);
    EXPECT_EQ(old.linkTime, (1600000000ULL + 11644473600ULL) * 10000000ULL);
    EXPECT_EQ(old.fileSize, 4096u);

    EXPECT_EQ(results.tally.amcacheEntriesSeen, 3u);
    EXPECT_EQ(results.tally.amcacheEntriesRead, 3u);
    EXPECT_EQ(results.tally.amcacheStale, 0u);
    EXPECT_EQ(results.tally.hivesRecovered, 1u) << "brought up to date from its log";
    bool listed = false;
    for (const ExaminedHive& hive : results.origin.hives) {
        if (hive.hive == L"Amcache.hve") {
            listed = true;
            EXPECT_EQ(hive.outcome, HiveOutcome::Recovered);
            EXPECT_EQ(hive.logEntriesApplied, 1u);
        }
    }
    EXPECT_TRUE(listed);
}

TEST_F(ProgramRecordsScan, TheReportAndTheBannerNameEverySourceRead) {
    const ScanResults results = scan();
    const std::wstring header = buildReportHeader(results.tally, results.facts, results.origin);
    EXPECT_NE(header.find(L"\r\n# BAM/DAM,read (bam\\State\\UserSettings; dam\\UserSettings)\r\n"),
              std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n# AppCompatCache,read (Windows 10 1703 and later or Windows 11)"),
              std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n# Amcache,read (both layouts"), std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n# AppCompatCache lists files Windows looked at; a row is not"),
              std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n# BAM/DAM values in an unknown shape (not binary, or shorter than "
                          L"a time),2\r\n"),
              std::wstring::npos);
    // The other sources' lines come after every line the report had before.
    EXPECT_LT(header.find(L"# prefetch run times out of time order"),
              header.find(L"# BAM/DAM,read"));
    const std::wstring banner = bannerText(results.tally, results.facts, results.origin);
    EXPECT_NE(banner.find(L"  Also read: BAM/DAM, the compatibility cache and Amcache."),
              std::wstring::npos)
        << testing::narrow(banner);
    EXPECT_NE(banner.find(L"The compatibility cache lists files Windows looked at"),
              std::wstring::npos);
    EXPECT_EQ(banner.find(L"Windows writes this machine's"), std::wstring::npos)
        << "a copy's cache is not this machine's";
}

TEST(ProgramRecordsAbsent, AMachineWithoutThemSaysNotPresentAndCountsNoFailure) {
    testing::TempFolder root;
    writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM",
                      sample::writeHive(sample::systemHive(3)));
    writeEvidenceFile(root.path, "Windows/System32/config/SOFTWARE",
                      sample::writeHive(sample::softwareHive({})));
    writeEvidenceFile(root.path, "Windows/Prefetch/.keep", {});
    ScanResults results;
    runScan(ScanTarget{ScanSubject::EvidenceRoot, testing::programText(root.path)}, results);
    for (RecordSource source :
         {RecordSource::Bam, RecordSource::AppCompatCache, RecordSource::Amcache}) {
        EXPECT_EQ(results.origin.sources[static_cast<std::size_t>(source)].presence,
                  SourcePresence::NotPresent);
    }
    for (const ScanCounter& counter : scanCounters) {
        if (counter.line == CounterLine::Source) {
            EXPECT_EQ(results.tally.*counter.member, 0u) << counter.key;
        }
    }
    const std::wstring header = buildReportHeader(results.tally, results.facts, results.origin);
    EXPECT_NE(header.find(L"\r\n# BAM/DAM,not present\r\n"), std::wstring::npos);
    EXPECT_NE(header.find(L"\r\n# Amcache,not present\r\n"), std::wstring::npos);
    EXPECT_EQ(header.find(L"lists files Windows looked at"), std::wstring::npos)
        << "no caution for a source not read";
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin)
                  .find(L"  Not present on the examined machine: BAM/DAM, the compatibility "
                        L"cache and Amcache."),
              std::wstring::npos);
}

TEST(ProgramRecordsAbsent, ASystemHiveThatCannotBeReadLeavesBothRegistrySourcesUnread) {
    testing::TempFolder root;
    writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM", {'n', 'o', 'p', 'e'});
    writeEvidenceFile(root.path, "Windows/Prefetch/.keep", {});
    ScanResults results;
    runScan(ScanTarget{ScanSubject::EvidenceRoot, testing::programText(root.path)}, results);
    EXPECT_EQ(results.origin.sources[2].presence, SourcePresence::Unreadable);
    EXPECT_EQ(results.origin.sources[3].presence, SourcePresence::Unreadable);
    EXPECT_NE(results.tally.systemHivesUnreadable, 0u) << "counted where it was opened";
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin)
                  .find(L"Could not be read: BAM/DAM and the compatibility cache."),
              std::wstring::npos);
}

} // namespace
} // namespace tidewell
