// The records beside Prefetch and UserAssist read from this machine (the
// test double): the moderators' device paths placed on the drives this
// machine mounts them as, the compatibility cache with what its live value
// leaves out said, and an Amcache the running Windows holds open, which is
// said and not failed. And a machine that keeps none of them, whose report
// stays as it was.
#include <gtest/gtest.h>

#include "core/scan_driver.h"
#include "fake/fake_machine.h"
#include "platform/error_codes.h"
#include "report/csv_report.h"
#include "sample/evidence_tree.h"
#include "sample/program_records.h"
#include "support/corpus_files.h"
#include "support/temp_folder.h"
#include "ui/coverage_text.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

constexpr FileTime aRun = 133500000000000000ULL;
const std::wstring ownSid = L"S-1-5-21-100-200-300-1001";
const std::wstring bamKey =
    L"SYSTEM\\CurrentControlSet\\Services\\bam\\State\\UserSettings\\" + ownSid;
const std::wstring cacheKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\AppCompatCache";

class ProgramRecordsLive : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setFixedNow(133616736000000000ULL);
        fake::setOwnSid(ownSid);
        fake::addAccount(ownSid, L"examiner");
        fake::createRegistryKey(RegistryRoot::LocalMachine,
                                L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList");
        fake::createRegistryKey(RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet");
        fake::setWindowsDirectory(testing::programText(windows.path));
    }
    void TearDown() override { fake::resetAll(); }
    ScanResults scan() {
        ScanResults results;
        runScan(ScanTarget{}, results);
        return results;
    }
    static const LaunchRecord* find(const ScanResults& results, const std::wstring& name) {
        for (const LaunchRecord& record : results.records) {
            if (record.name == name) {
                return &record;
            }
        }
        return nullptr;
    }
    testing::TempFolder windows;
};

TEST_F(ProgramRecordsLive, DevicePathsArePlacedOnTheDrivesThisMachineMountsThemAs) {
    fake::setVolumes(
        {{L"\\\\?\\Volume{a}\\", 1, false, {L"C:\\"}, false, L"\\Device\\HarddiskVolume3"},
         {L"\\\\?\\Volume{b}\\", 2, false, {L"D:\\Data\\"}, false, L"\\Device\\HarddiskVolume4"}});
    fake::setRegistryValue(RegistryRoot::LocalMachine, bamKey,
                           L"\\Device\\HarddiskVolume3\\Windows\\System32\\cmd.exe",
                           registryTypeBinary, sample::bamData(aRun));
    fake::setRegistryValue(RegistryRoot::LocalMachine, bamKey,
                           L"\\Device\\HarddiskVolume30\\Tools\\near.exe", registryTypeBinary,
                           sample::bamData(aRun));
    fake::setRegistryValue(RegistryRoot::LocalMachine, bamKey,
                           L"\\Device\\HarddiskVolume4\\folder.exe", registryTypeBinary,
                           sample::bamData(aRun));
    const ScanResults results = scan();
    EXPECT_EQ(results.origin.sources[2].presence, SourcePresence::Read);
    const LaunchRecord* cmd = find(results, L"cmd.exe");
    ASSERT_NE(cmd, nullptr);
    EXPECT_EQ(cmd->path, L"C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(cmd->pathStatus, PathStatus::Resolved);
    EXPECT_EQ(cmd->userName, L"examiner");
    const LaunchRecord* near = find(results, L"near.exe");
    ASSERT_NE(near, nullptr);
    EXPECT_EQ(near->pathStatus, PathStatus::VolumeNotIdentified)
        << "HarddiskVolume3 is no prefix of HarddiskVolume30";
    const LaunchRecord* folder = find(results, L"folder.exe");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->pathStatus, PathStatus::VolumeNotIdentified)
        << "a volume mounted only in a folder has no drive";
    const std::wstring detail = buildDetailText(*cmd, DetailContext{});
    EXPECT_NE(detail.find(L"Placed on the drive this machine's kernel gives that volume now: "
                          L"\\Device\\HarddiskVolume3\\Windows\\System32\\cmd.exe"),
              std::wstring::npos)
        << testing::narrow(detail);
}

TEST_F(ProgramRecordsLive, TheLiveCacheIsSaidToLeaveOutWhatCameSinceTheLastStart) {
    fake::setRegistryValue(RegistryRoot::LocalMachine, cacheKey, L"AppCompatCache",
                           registryTypeBinary,
                           sample::compatCacheValue(sample::CacheLayoutSpec::Windows10Creators,
                                                    {{L"C:\\Tools\\x.exe", aRun, 0, 0, {}, L""}}));
    const ScanResults results = scan();
    EXPECT_EQ(results.origin.sources[3].presence, SourcePresence::Read);
    const std::wstring note = L"Windows writes this machine's compatibility cache when it shuts "
                              L"down: what it saw since it last started is not in it.";
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin).find(note),
              std::wstring::npos);
    EXPECT_NE(
        buildReportHeader(results.tally, results.facts, results.origin)
            .find(L"# AppCompatCache,read (Windows 10 1703 and later or Windows 11) - " + note),
        std::wstring::npos);
    const LaunchRecord* entry = find(results, L"x.exe");
    ASSERT_NE(entry, nullptr);
    EXPECT_NE(buildDetailText(*entry, DetailContext{}).find(L"Windows writes this machine's cache"),
              std::wstring::npos);
}

TEST_F(ProgramRecordsLive, AnAmcacheHeldOpenIsSaidAndNotFailed) {
    // The path as the scan forms it below the Windows directory.
    const std::wstring hive =
        testing::programText(windows.path) + L"\\AppCompat\\Programs\\Amcache.hve";
    ASSERT_TRUE(sample::writeEvidenceFile(windows.path, "AppCompat/Programs/Amcache.hve",
                                          sample::writeHive(sample::amcacheHive({}, {}))));
    fake::failFile(hive, {ERROR_SHARING_VIOLATION, false, false, false});
    const ScanResults results = scan();
    EXPECT_EQ(results.origin.sources[4].presence, SourcePresence::HeldOpen);
    EXPECT_EQ(results.tally.amcacheHeldOpen, 1u);
    EXPECT_EQ(results.tally.amcacheUnreadable, 0u);
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin)
                  .find(L"Held open by the running Windows, and so not read: Amcache."),
              std::wstring::npos);
    EXPECT_NE(buildReportHeader(results.tally, results.facts, results.origin)
                  .find(L"# Amcache,held open by the running Windows - not read while it runs"),
              std::wstring::npos);

    // Any other failure to open it is one.
    fake::failFile(hive, {ERROR_ACCESS_DENIED, false, false, false});
    const ScanResults denied = scan();
    EXPECT_EQ(denied.origin.sources[4].presence, SourcePresence::Unreadable);
    EXPECT_EQ(denied.tally.amcacheUnreadable, 1u);
}

TEST_F(ProgramRecordsLive, AMachineKeepingNoneOfThemKeepsItsReportAsItWas) {
    const ScanResults results = scan();
    for (std::size_t source = 2; source < recordSourceCount; ++source) {
        EXPECT_EQ(results.origin.sources[source].presence, SourcePresence::NotPresent);
    }
    const std::wstring header = buildReportHeader(results.tally, results.facts, results.origin);
    for (const wchar_t* word : {L"BAM", L"AppCompatCache", L"Amcache"}) {
        EXPECT_EQ(header.find(word), std::wstring::npos) << testing::narrow(word);
    }
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin)
                  .find(L"Not present on this machine: BAM/DAM, the compatibility cache and "
                        L"Amcache."),
              std::wstring::npos);
}

TEST(ProgramRecordsLiveRegistry, SystemKeysThatCannotBeOpenedAreCountedForBothSources) {
    fake::resetAll();
    fake::failRegistryOpen(RegistryRoot::LocalMachine, L"SYSTEM", ERROR_ACCESS_DENIED);
    ScanResults results;
    runScan(ScanTarget{}, results);
    EXPECT_EQ(results.origin.sources[2].presence, SourcePresence::Unreadable);
    EXPECT_EQ(results.origin.sources[3].presence, SourcePresence::Unreadable);
    EXPECT_EQ(results.tally.bamKeysUnreadable, 1u);
    EXPECT_EQ(results.tally.compatCacheUnreadable, 1u);
    fake::resetAll();
}

} // namespace
} // namespace tidewell
