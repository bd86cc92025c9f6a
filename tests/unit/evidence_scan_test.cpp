// Whole scans of evidence roots built for the test: a copied system drive
// with its SOFTWARE and SYSTEM hives, users' NTUSER.DAT files (one dirty,
// one missing) and Prefetch files, found whatever the case of their names.
// Only files are read, so the same scans run natively and under Wine.
#include "core/scan_driver.h"

#include <gtest/gtest.h>

#include "report/csv_report.h"
#include "report/json_report.h"
#include "support/corpus_files.h"
#include "support/temp_folder.h"
#include "support/userassist_corpus_facts.h"
#include "tools/sample/evidence_tree.h"
#include "tools/sample/prefetch_image_builder.h"
#include "tools/sample/userassist_values.h"
#include "ui/coverage_text.h"
#include "userassist/userassist_reader.h"

namespace tidewell {
namespace {

using sample::HiveSpec;
using sample::writeEvidenceFile;

constexpr FileTime aRun = 133500000000000000ULL;
const std::wstring alice = L"S-1-5-21-7-8-9-1001";
const std::wstring bob = L"S-1-5-21-7-8-9-1002";
const std::wstring carol = L"S-1-5-21-7-8-9-1003";
const std::wstring countKey =
    std::wstring(userAssistKeyPath) + L"\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";
const std::wstring systemVolume = L"\\VOLUME{01d5f51ea48267ca-96a49c74}";
const std::wstring dataVolume = L"\\VOLUME{01d5f51ea48267ca-12345678}";

// A user's hive with one UserAssist entry per name given, and the shell
// folders Windows 10 writes.
HiveSpec userHive(std::initializer_list<std::wstring> launched) {
    HiveSpec spec;
    sample::HiveKeySpec& count = sample::keyAt(spec.root, countKey);
    for (const std::wstring& name : launched) {
        count.values.push_back({sample::rot13(name), 3, sample::userAssistData(3, 2, 4000, aRun)});
    }
    sample::keyAt(spec.root,
                  L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders")
        .values = {
        sample::textValue(L"AppData", L"%USERPROFILE%\\AppData\\Roaming", 2),
        sample::textValue(L"Programs", L"%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs", 2)};
    return spec;
}

std::vector<std::uint8_t> prefetchFile(const std::wstring& name, const std::wstring& volume,
                                       const std::wstring& folder) {
    sample::PrefetchImageSpec spec;
    spec.name = name;
    spec.runTimeSlots = {aRun};
    spec.alternateRunCount = 1;
    spec.referencedFiles = {systemVolume + L"\\WINDOWS\\SYSTEM32\\NTDLL.DLL",
                            volume + folder + L"\\" + name};
    return sample::buildPrefetchImage(spec);
}

class EvidenceScan : public ::testing::Test {
protected:
    void SetUp() override {
        // Names in the case a collector on Linux might have left them.
        drive = root.path / "C";
        writeEvidenceFile(
            drive, "windows/SYSTEM32/config/SOFTWARE",
            sample::writeHive(sample::softwareHive({{alice, L"C:\\Users\\alice"},
                                                    {bob, L"%SystemDrive%\\Users\\Bob"},
                                                    {carol, L"C:\\Users\\carol"}})));
        writeEvidenceFile(drive, "windows/SYSTEM32/config/system",
                          sample::writeHive(sample::systemHive(3)));
        writeEvidenceFile(drive, "users/Alice/ntuser.dat",
                          sample::writeHive(userHive(
                              {L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\calc.exe",
                               L"{A77F5D77-2E2B-44C3-A6A2-ABA601054A51}\\Tool.lnk",
                               L"{9E3995AB-1F9C-4F13-B827-48B24B6C7174}\\TaskBar\\x.lnk"})));
        writeEvidenceFile(drive, "users/bob/NTUSER.DAT",
                          sample::writeHive(userHive({L"C:\\b.exe"})));
        writeEvidenceFile(drive, "windows/prefetch/CALC.EXE-00000001.pf",
                          prefetchFile(L"CALC.EXE", systemVolume, L"\\WINDOWS\\SYSTEM32"));
        writeEvidenceFile(drive, "windows/prefetch/DATA.EXE-00000002.pf",
                          prefetchFile(L"DATA.EXE", dataVolume, L"\\TOOLS"));
    }
    ScanResults scan(const std::filesystem::path& at) {
        ScanResults results;
        runScan(ScanTarget{ScanSubject::EvidenceRoot, testing::programText(at)}, results);
        return results;
    }
    const LaunchRecord* named(const ScanResults& results, const std::wstring& name) {
        for (const LaunchRecord& record : results.records) {
            if (record.name == name) {
                return &record;
            }
        }
        ADD_FAILURE() << "no record named " << testing::narrow(name);
        return nullptr;
    }

    testing::TempFolder root;
    std::filesystem::path drive;
};

TEST_F(EvidenceScan, ACollectionOneFolderDownIsReadWhole) {
    const ScanResults results = scan(root.path);
    EXPECT_TRUE(results.origin.evidence);
    // The drive one folder down, named as the root was (with its separator).
    const std::wstring rootText = testing::programText(root.path);
    EXPECT_EQ(results.origin.evidenceFolder.rfind(rootText, 0), 0u);
    EXPECT_EQ(results.origin.evidenceFolder.size(), rootText.size() + 2);
    EXPECT_EQ(results.origin.evidenceFolder.back(), L'C');

    // The facts are the examined machine's: its current control set (the
    // second), Windows 10, and this process's elevation.
    EXPECT_TRUE(results.facts.enablePrefetcherPresent);
    EXPECT_EQ(results.facts.enablePrefetcherValue, 3u);
    EXPECT_EQ(results.facts.prefetchRetentionLimit, 1024u);
    EXPECT_TRUE(results.facts.prefetchDirReadable);

    // Three listed profiles, of which carol's hive is not in the copy.
    EXPECT_TRUE(results.facts.profileCoverageKnown);
    EXPECT_EQ(results.facts.profilesOnMachine, 3u);
    EXPECT_EQ(results.facts.profilesExamined, 2u);
    EXPECT_EQ(results.facts.profilesNotExamined, 1u);
    EXPECT_EQ(results.tally.hivesMissing, 1u);
    EXPECT_EQ(results.tally.systemHivesUnreadable, 0u);
    EXPECT_EQ(results.tally.userAssistParsed, 4u);
    EXPECT_FALSE(results.anyFailure) << "a missing hive limits coverage; it is no failure";

    // Every hive looked for, in the order it was looked for, with its outcome.
    ASSERT_EQ(results.origin.hives.size(), 5u);
    const wchar_t* const looked[] = {L"SYSTEM", L"SOFTWARE", L"NTUSER.DAT", L"NTUSER.DAT",
                                     L"NTUSER.DAT"};
    for (std::size_t i = 0; i < std::size(looked); ++i) {
        EXPECT_EQ(results.origin.hives[i].hive, looked[i]) << i;
    }
    EXPECT_EQ(results.origin.hives[0].outcome, HiveOutcome::Clean);
    EXPECT_EQ(results.origin.hives[1].outcome, HiveOutcome::Clean);
    EXPECT_EQ(results.origin.hives[3].userSid, bob);
    EXPECT_EQ(results.origin.hives[3].machinePath, L"C:\\Users\\Bob\\NTUSER.DAT");
    const ExaminedHive& missing = results.origin.hives[4];
    EXPECT_EQ(missing.outcome, HiveOutcome::Missing);
    EXPECT_EQ(missing.userSid, carol);
    EXPECT_TRUE(missing.path.empty()) << "its folder is not in the copy";
    EXPECT_EQ(missing.machinePath, L"C:\\Users\\carol\\NTUSER.DAT");
    EXPECT_TRUE(results.origin.refused.empty());

    // The system volume is the one the files loaded NTDLL.DLL from; C: is
    // where SystemRoot put it. The other volume is not placed.
    const LaunchRecord* calc = named(results, L"CALC.EXE");
    ASSERT_NE(calc, nullptr);
    EXPECT_EQ(calc->pathStatus, PathStatus::Resolved);
    EXPECT_EQ(calc->path, L"C:\\WINDOWS\\SYSTEM32\\CALC.EXE");
    // The file that was read, named as the root was: with slashes below a
    // root named the POSIX way, with backslashes below a Windows one.
    const std::wstring separator = rootText.find(L'\\') == std::wstring::npos ? L"/" : L"\\";
    EXPECT_EQ(calc->recordFile, results.origin.evidenceFolder + separator + L"windows" + separator +
                                    L"prefetch" + separator + L"CALC.EXE-00000001.pf");
    const LaunchRecord* data = named(results, L"DATA.EXE");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(results.tally.volumesNotIdentified, 1u);
    EXPECT_EQ(results.tally.volumesAmbiguous, 0u);

    // Folder ids resolve from the examined machine's registry, the user's
    // own ones from the user's hive; the account is named by its folder.
    const LaunchRecord* tool = named(results, L"Tool.lnk");
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->path,
              L"C:\\Users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\"
              L"Tool.lnk");
    EXPECT_EQ(tool->userSid, alice);
    EXPECT_EQ(tool->userName, L"alice");
    EXPECT_EQ(named(results, L"calc.exe")->path, L"C:\\Windows\\System32\\calc.exe");
    EXPECT_EQ(named(results, L"x.lnk")->path,
              L"C:\\Users\\alice\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick "
              L"Launch\\User Pinned\\TaskBar\\x.lnk");
    EXPECT_EQ(named(results, L"b.exe")->userName, L"Bob");
    EXPECT_EQ(results.tally.folderIdsUnresolved, 0u);
}

TEST_F(EvidenceScan, TheDriveItselfMayBeTheRoot) {
    const ScanResults results = scan(drive);
    EXPECT_EQ(results.origin.evidenceFolder, testing::programText(drive));
    EXPECT_EQ(results.tally.prefetchParsed, 2u);
    EXPECT_EQ(results.facts.profilesExamined, 2u);
}

TEST_F(EvidenceScan, ADirtyHiveIsCountedRecoveredFromItsLogOrStaleWithout) {
    // Bob's hive: the last write reached only its log, and brought c.exe.
    std::vector<std::uint8_t> before = sample::writeHive(userHive({L"C:\\b.exe"}));
    HiveSpec later = userHive({L"C:\\b.exe", L"C:\\c.exe"});
    later.sequence = 11;
    const std::vector<std::uint8_t> after = sample::writeHive(later);
    sample::setSequenceNumbers(before, 11, 10);
    writeEvidenceFile(drive, "users/bob/NTUSER.DAT", before);

    ScanResults stale = scan(root.path);
    EXPECT_EQ(stale.tally.hivesStale, 1u);
    EXPECT_TRUE(stale.anyFailure) << "its data may be stale";
    for (const LaunchRecord& record : stale.records) {
        EXPECT_NE(record.name, L"c.exe");
    }

    writeEvidenceFile(
        drive, "users/bob/ntuser.dat.LOG1",
        sample::writeNewFormatLog(before, 10,
                                  {{10, static_cast<std::uint32_t>(after.size() - 4096),
                                    sample::changedPages(before, after)}}));
    const ScanResults recovered = scan(root.path);
    EXPECT_EQ(recovered.tally.hivesStale, 0u);
    EXPECT_EQ(recovered.tally.hivesRecovered, 1u);
    EXPECT_EQ(recovered.tally.hiveLogEntriesApplied, 1u);
    EXPECT_FALSE(recovered.anyFailure);
    const ExaminedHive& bobs = recovered.origin.hives[3];
    EXPECT_EQ(bobs.userSid, bob);
    EXPECT_EQ(bobs.outcome, HiveOutcome::Recovered);
    EXPECT_EQ(bobs.logEntriesApplied, 1u);
    EXPECT_FALSE(bobs.earlierEntriesMissing);
    EXPECT_EQ(stale.origin.hives[3].outcome, HiveOutcome::Stale);
    EXPECT_NE(stale.origin.hives[3].why.find(L"logs are absent or unusable"), std::wstring::npos);
    EXPECT_NE(named(recovered, L"c.exe"), nullptr);
}

TEST_F(EvidenceScan, WithoutSoftwareTheUsersFoldersStandForTheProfileList) {
    std::filesystem::remove(drive / "windows/SYSTEM32/config/SOFTWARE");
    writeEvidenceFile(drive, "users/Default/NTUSER.DAT",
                      sample::writeHive(userHive({L"C:\\d.exe"})));
    writeEvidenceFile(drive, "users/Public/desktop.ini", {'x'});
    const ScanResults results = scan(root.path);
    EXPECT_EQ(results.tally.systemHivesUnreadable, 1u);
    EXPECT_EQ(results.tally.profileListUnreadable, 1u);
    EXPECT_FALSE(results.facts.profileCoverageKnown);
    EXPECT_EQ(results.facts.profilesExamined, 2u) << "alice and bob, not the Default template";
    EXPECT_TRUE(results.facts.retentionLimitNotKnown) << "the version is not known";
    // Without SystemRoot neither the system volume's letter nor a folder id
    // can be placed.
    EXPECT_EQ(named(results, L"CALC.EXE")->pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(named(results, L"calc.exe")->pathStatus, PathStatus::FolderIdUnresolved);
    EXPECT_TRUE(named(results, L"b.exe")->userSid.empty());
}

TEST_F(EvidenceScan, ProfilePathsWithVariablesAreExpandedFromTheExaminedMachine) {
    // Windows XP kept every profile below %SystemDrive%, NT below %windir%;
    // the variables' letter case is anybody's.
    const std::wstring joe = L"S-1-5-21-7-8-9-1004";
    const std::wstring kim = L"S-1-5-21-7-8-9-1005";
    const std::wstring lee = L"S-1-5-21-7-8-9-1006";
    writeEvidenceFile(drive, "windows/SYSTEM32/config/SOFTWARE",
                      sample::writeHive(sample::softwareHive(
                          {{joe, L"%systemdrive%\\Documents and Settings\\joe"},
                           {kim, L"%WINDIR%\\Profiles\\kim"},
                           {lee, L"%SystemRoot%\\..\\Users\\lee"}})));
    writeEvidenceFile(drive, "Documents and Settings/joe/NTUSER.DAT",
                      sample::writeHive(userHive({L"C:\\joe.exe"})));
    writeEvidenceFile(drive, "windows/Profiles/kim/NTUSER.DAT",
                      sample::writeHive(userHive({L"C:\\kim.exe"})));
    const ScanResults results = scan(root.path);
    EXPECT_EQ(results.facts.profilesOnMachine, 3u);
    EXPECT_EQ(results.facts.profilesExamined, 2u);
    EXPECT_EQ(named(results, L"joe.exe")->userSid, joe);
    EXPECT_EQ(named(results, L"kim.exe")->userName, L"kim");
    // A path that climbs out with ".." names no folder of the copy: it is
    // said to be missing, never looked for outside.
    EXPECT_EQ(results.tally.hivesMissing, 1u);
    EXPECT_EQ(results.origin.hives.back().machinePath, L"C:\\Windows\\..\\Users\\lee\\NTUSER.DAT");
}

TEST_F(EvidenceScan, WithoutSoftwareTheOldProfileFolderIsLookedInToo) {
    std::filesystem::remove(drive / "windows/SYSTEM32/config/SOFTWARE");
    std::filesystem::remove_all(drive / "users");
    writeEvidenceFile(drive, "Documents and Settings/joe/NTUSER.DAT",
                      sample::writeHive(userHive({L"C:\\joe.exe"})));
    writeEvidenceFile(drive, "Documents and Settings/All Users/NTUSER.DAT",
                      sample::writeHive(userHive({L"C:\\shared.exe"})));
    const ScanResults results = scan(root.path);
    EXPECT_EQ(results.facts.profilesExamined, 1u);
    EXPECT_EQ(named(results, L"joe.exe")->userName, L"joe");
    EXPECT_EQ(results.tally.userAssistUnreadable, 0u);
}

#if !defined(_WIN32)
TEST_F(EvidenceScan, AProfileReachedThroughTheOldFoldersJunctionIsReadOnce) {
    // A mounted Windows 10 volume shows Documents and Settings as a link.
    std::filesystem::remove(drive / "windows/SYSTEM32/config/SOFTWARE");
    std::filesystem::create_directory_symlink("users", drive / "Documents and Settings");
    const ScanResults results = scan(root.path);
    EXPECT_EQ(results.facts.profilesExamined, 2u) << "alice and bob, each once";
}
#endif

TEST_F(EvidenceScan, FactsItsFilesDoNotGiveAreNotKnownNeverThisMachines) {
    std::filesystem::remove(drive / "windows/SYSTEM32/config/SOFTWARE");
    std::filesystem::remove(drive / "windows/SYSTEM32/config/system");
    const ScanResults results = scan(root.path);
    const ScanFacts& facts = results.facts;
    EXPECT_TRUE(facts.elevationNotApplicable);
    EXPECT_TRUE(facts.prefetcherSettingNotKnown);
    EXPECT_TRUE(facts.prefetchEnabledNotKnown);
    EXPECT_TRUE(facts.retentionLimitNotKnown);
    EXPECT_TRUE(facts.prefetchDirReadable) << "the copy's own folder: that much is known";

    // Every header line keeps its place; none takes a default for a fact.
    const std::wstring header = buildReportHeader(results.tally, facts, results.origin);
    for (const wchar_t* line :
         {L"\r\n# Elevated,not applicable\r\n# Prefetch enabled,not known\r\n"
          L"# Prefetch directory readable,yes\r\n# Prefetch retains at most,not known\r\n"
          L"# EnablePrefetcher value present,not known\r\n"
          L"# EnablePrefetcher raw value,not known\r\n"}) {
        EXPECT_NE(header.find(line), std::wstring::npos) << testing::narrow(header);
    }
    const std::string json = jsonReportOpening(results.tally, facts, results.origin);
    EXPECT_NE(json.find("\"elevated\":null,\"enable_prefetcher_present\":null,"
                        "\"enable_prefetcher_value\":null,\"prefetch_enabled\":null,"
                        "\"prefetch_dir_readable\":true,\"prefetch_retention_limit\":null"),
              std::string::npos)
        << json;

    // The window says nothing of this process's rights, nor of a limit it
    // does not know, nor that prefetching was off.
    const std::wstring banner = bannerText(results.tally, facts, results.origin);
    EXPECT_EQ(banner.find(L"switched off"), std::wstring::npos);
    EXPECT_EQ(banner.find(L"keeps at most"), std::wstring::npos);
    EXPECT_NE(banner.find(L"kept is not known"), std::wstring::npos) << testing::narrow(banner);
    EXPECT_EQ(statusBarTexts(1, 1, ScanTally{}, facts)[3], L" collected evidence ");

    // With SYSTEM but without the value, its absence is a fact and what
    // Windows would have done without it is not.
    sample::HiveSpec system = sample::systemHive(3);
    sample::keyAt(system.root,
                  L"ControlSet002\\Control\\Session Manager\\Memory Management\\PrefetchParameters")
        .values.clear();
    writeEvidenceFile(drive, "windows/SYSTEM32/config/SYSTEM", sample::writeHive(system));
    const ScanResults absent = scan(root.path);
    EXPECT_FALSE(absent.facts.prefetcherSettingNotKnown);
    EXPECT_FALSE(absent.facts.enablePrefetcherPresent);
    EXPECT_TRUE(absent.facts.prefetchEnabledNotKnown);
    const std::wstring absentHeader = buildReportHeader(absent.tally, absent.facts, absent.origin);
    EXPECT_NE(absentHeader.find(L"# Prefetch enabled,not known\r\n"), std::wstring::npos);
    EXPECT_NE(absentHeader.find(L"# EnablePrefetcher value present,no\r\n"
                                L"# EnablePrefetcher raw value,not applicable\r\n"),
              std::wstring::npos);

    // A setting that is there is stated, off included.
    writeEvidenceFile(drive, "windows/SYSTEM32/config/SYSTEM",
                      sample::writeHive(sample::systemHive(0)));
    const ScanResults off = scan(root.path);
    EXPECT_FALSE(off.facts.prefetchEnabledNotKnown);
    EXPECT_FALSE(off.facts.prefetchEnabled);
    EXPECT_NE(bannerText(off.tally, off.facts, off.origin).find(L"switched off on the examined"),
              std::wstring::npos);
}

TEST_F(EvidenceScan, FilesThatDisagreeOnTheSystemVolumeProveNone) {
    sample::PrefetchImageSpec other;
    other.name = L"ODD.EXE";
    other.runTimeSlots = {aRun};
    other.alternateRunCount = 1;
    other.referencedFiles = {dataVolume + L"\\WINDOWS\\SYSTEM32\\NTDLL.DLL"};
    writeEvidenceFile(drive, "windows/prefetch/ODD.EXE-00000003.pf",
                      sample::buildPrefetchImage(other));
    const ScanResults results = scan(root.path);
    EXPECT_EQ(named(results, L"CALC.EXE")->pathStatus, PathStatus::VolumeNotIdentified);
}

TEST_F(EvidenceScan, UnreadableHivesAreCountedAndNothingElseIsLost) {
    writeEvidenceFile(drive, "users/bob/NTUSER.DAT",
                      {'n', 'o', 't', ' ', 'a', ' ', 'h', 'i', 'v', 'e'});
    writeEvidenceFile(drive, "windows/SYSTEM32/config/system", std::vector<std::uint8_t>(4096, 0));
    const ScanResults results = scan(root.path);
    EXPECT_EQ(results.tally.hivesUnreadable, 1u);
    EXPECT_EQ(results.tally.systemHivesUnreadable, 1u);
    EXPECT_FALSE(results.facts.enablePrefetcherPresent);
    EXPECT_TRUE(results.anyFailure);
    EXPECT_EQ(results.facts.profilesExamined, 1u);
    EXPECT_EQ(results.tally.prefetchParsed, 2u);
}

TEST(EvidenceRoot, AFolderThatIsNoWindowsDriveExaminesNothing) {
    testing::TempFolder root;
    writeEvidenceFile(root.path, "photos/cat.jpg", {1, 2, 3});
    ScanResults results;
    runScan(ScanTarget{ScanSubject::EvidenceRoot, root.text()}, results);
    EXPECT_TRUE(results.records.empty());
    EXPECT_EQ(results.tally.prefetchDirUnreadable, 1u);
    EXPECT_EQ(results.tally.userAssistUnreadable, 1u);
    EXPECT_EQ(results.tally.systemHivesUnreadable, 2u);
    EXPECT_TRUE(results.anyFailure);
}

TEST(EvidenceRoot, TheCorpusAsACollectedDrive) {
    TIDEWELL_REQUIRE_CORPUS("hives");
    testing::TempFolder root;
    std::size_t prefetchFiles = 0;
    for (const auto& file : testing::corpusFiles("prefetch")) {
        writeEvidenceFile(root.path,
                          "C/Windows/Prefetch/" + std::to_string(prefetchFiles++) + "-" +
                              file.filename().string(),
                          testing::readWholeFile(file));
    }
    std::uint32_t users = 0;
    for (const auto& facts : testing::userAssistExports) {
        writeEvidenceFile(root.path, "C/Users/user" + std::to_string(users++) + "/NTUSER.DAT",
                          testing::readWholeFile(testing::corpusRoot() / "hives" / facts.hive));
    }
    ScanResults results;
    runScan(ScanTarget{ScanSubject::EvidenceRoot, root.text()}, results);
    EXPECT_EQ(results.tally.prefetchSeen, prefetchFiles);
    EXPECT_EQ(results.tally.prefetchSeen,
              results.tally.prefetchParsed + results.tally.prefetchMalformed +
                  results.tally.prefetchNotPrefetch + results.tally.prefetchUnreadable +
                  results.tally.prefetchDecompressFailed + results.tally.prefetchUnknownVersion);
    EXPECT_EQ(results.tally.prefetchNotPrefetch, 1u) << "the corpus's one file that is not one";
    std::uint32_t parsed = 0;
    std::uint32_t seen = 0;
    for (const auto& facts : testing::userAssistExports) {
        parsed += facts.parsed;
        seen += facts.valuesSeen;
    }
    EXPECT_EQ(results.tally.userAssistSeen, seen);
    EXPECT_EQ(results.tally.userAssistParsed, parsed);
    EXPECT_EQ(results.facts.profilesExamined, users);
    EXPECT_EQ(results.tally.hivesUnreadable + results.tally.hivesStale, 0u);
    EXPECT_EQ(results.records.size(), results.tally.prefetchParsed + parsed);
}

} // namespace
} // namespace tidewell
