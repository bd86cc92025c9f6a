// Whole scans of evidence roots built for the test: a copied system drive
// with its SOFTWARE and SYSTEM hives, users' NTUSER.DAT files (one dirty,
// one missing) and Prefetch files, found whatever the case of their names.
// Only files are read, so the same scans run natively and under Wine.
#include "scan/scan_driver.h"

#include <gtest/gtest.h>

#include "support/record_details.h"

#include "core/scan_counters.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_setup.h"
#include "prefetch/prefetch_source.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "sample/evidence_tree.h"
#include "support/corpus_files.h"
#include "support/scans.h"
#include "support/temp_folder.h"
#include "support/userassist_corpus_facts.h"
#include "ui/coverage_text.h"
#include "userassist/sample/userassist_values.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_reader.h"
#include "userassist/userassist_source.h"

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
    EXPECT_EQ(results.facts[enablePrefetcherPresent].value, 1u);
    EXPECT_EQ(results.facts[enablePrefetcherValue].value, 3u);
    EXPECT_EQ(results.facts[prefetchRetentionLimit].value, 1024u);
    EXPECT_EQ(results.facts[prefetchDirReadable].value, 1u);

    // Three listed profiles, of which carol's hive is not in the copy.
    EXPECT_TRUE(results.facts.profileCoverageKnown);
    EXPECT_EQ(results.facts.profilesOnMachine, 3u);
    EXPECT_EQ(results.facts.profilesExamined, 2u);
    EXPECT_EQ(results.facts.profilesNotExamined, 1u);
    EXPECT_EQ(results.tally[hivesMissing], 1u);
    EXPECT_EQ(results.tally[systemHivesUnreadable], 0u);
    EXPECT_EQ(results.tally[userAssistParsed], 4u);
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
    EXPECT_EQ(results.tally[volumesNotIdentified], 1u);
    EXPECT_EQ(results.tally[volumesAmbiguous], 0u);

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
    EXPECT_EQ(results.tally[folderIdsUnresolved], 0u);
}

TEST_F(EvidenceScan, TheDriveItselfMayBeTheRoot) {
    const ScanResults results = scan(drive);
    EXPECT_EQ(results.origin.evidenceFolder, testing::programText(drive));
    EXPECT_EQ(results.tally[prefetchParsed], 2u);
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
    EXPECT_EQ(stale.tally[hivesStale], 1u);
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
    EXPECT_EQ(recovered.tally[hivesStale], 0u);
    EXPECT_EQ(recovered.tally[hivesRecovered], 1u);
    EXPECT_EQ(recovered.tally[hiveLogEntriesApplied], 1u);
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
    EXPECT_EQ(results.tally[systemHivesUnreadable], 1u);
    EXPECT_EQ(results.tally[profileListUnreadable], 1u);
    EXPECT_FALSE(results.facts.profileCoverageKnown);
    EXPECT_EQ(results.facts.profilesExamined, 2u) << "alice and bob, not the Default template";
    EXPECT_EQ(results.facts[prefetchRetentionLimit].state, FactState::NotKnown)
        << "the version is not known";
    // Without SystemRoot the system volume's letter is not known; a fixed
    // folder is placed where Windows puts it, on a drive that stays named
    // %SystemDrive%, in the Windows folder the copy holds.
    EXPECT_EQ(named(results, L"CALC.EXE")->pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(named(results, L"calc.exe")->pathStatus, PathStatus::Resolved);
    EXPECT_EQ(named(results, L"calc.exe")->path, L"%SystemDrive%\\windows\\System32\\calc.exe");
    EXPECT_TRUE(testing::userAssistOf(*named(results, L"calc.exe")).folderAtDefault);
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
    EXPECT_EQ(results.tally[hivesMissing], 1u);
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
    EXPECT_EQ(results.tally[userAssistUnreadable], 0u);
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

// Each machine-wide folder id, launched once from alice's hive.
struct FixedFolder {
    const wchar_t* id;
    const wchar_t* recorded;   // where the full SOFTWARE hive below puts it
    const wchar_t* documented; // where Windows puts it on a 64-bit C:
};
const FixedFolder fixedFolders[] = {
    {L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}", L"D:\\Win\\System32", L"C:\\Windows\\System32"},
    {L"{D65231B0-B2F1-4857-A4CE-A8E7C6EA7D27}", L"D:\\Win\\SysWOW64", L"C:\\Windows\\SysWOW64"},
    {L"{F38BF404-1D43-42F2-9305-67DE0B28FC23}", L"D:\\Win", L"C:\\Windows"},
    {L"{905E63B6-C1BF-494E-B29C-65B732D3D21A}", L"D:\\Apps", L"C:\\Program Files"},
    {L"{6D809377-6AF0-444B-8957-A3773F02200E}", L"D:\\Apps64", L"C:\\Program Files"},
    {L"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}", L"D:\\Apps32", L"C:\\Program Files (x86)"},
    {L"{F7F1ED05-9F6D-47A2-AAAE-29D317C6F066}", L"D:\\Shared", L"C:\\Program Files\\Common Files"},
    {L"{6365D5A7-0F0D-45E5-87F6-0DA56B6A4F7D}", L"D:\\Shared64",
     L"C:\\Program Files\\Common Files"},
    {L"{DE974D24-D9C6-4D3E-BF91-F4455120B917}", L"D:\\Shared32",
     L"C:\\Program Files (x86)\\Common Files"},
    {L"{62AB5D82-FDC1-4DC3-A9DD-070D1D495D97}", L"D:\\Data", L"C:\\ProgramData"},
    {L"{DFDF76A2-C82A-4D63-906A-5644AC457385}", L"D:\\Pub", L"C:\\Users\\Public"},
    {L"{0139D44E-6AFE-49F2-8690-3DAFCAE6FFB8}", L"D:\\Menu\\Programs",
     L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
    {L"{A4115719-D62E-491D-AA7C-E74B8BE3B067}", L"D:\\Menu",
     L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
    {L"{C4AA340D-F20F-4863-AFEF-F87EF2E6BA25}", L"D:\\Pub\\Desk", L"C:\\Users\\Public\\Desktop"},
    {L"{ED4824AF-DCE4-45A8-81E2-FC7965083634}", L"D:\\Pub\\Docs", L"C:\\Users\\Public\\Documents"},
};

TEST_F(EvidenceScan, FixedFoldersComeFromTheRegistryOrElseTheirDocumentedPlace) {
    HiveSpec user = userHive({});
    sample::HiveKeySpec& count = sample::keyAt(user.root, countKey);
    for (std::size_t i = 0; i < std::size(fixedFolders); ++i) {
        count.values.push_back({sample::rot13(std::wstring(fixedFolders[i].id) + L"\\app" +
                                              std::to_wstring(i) + L".exe"),
                                3, sample::userAssistData(1, 1, 1000, aRun)});
    }
    writeEvidenceFile(drive, "users/Alice/ntuser.dat", sample::writeHive(user));
    const auto pathOf = [&](const ScanResults& results, std::size_t i, bool& atDefault) {
        const LaunchRecord* record = named(results, L"app" + std::to_wstring(i) + L".exe");
        atDefault = record != nullptr && testing::userAssistOf(*record).folderAtDefault != 0;
        return record == nullptr || record->pathStatus != PathStatus::Resolved ? std::wstring()
                                                                               : record->path;
    };

    // A machine whose registry records every one of them somewhere unusual.
    HiveSpec software = sample::softwareHive({{alice, L"%SystemDrive%\\Users\\alice"}});
    sample::keyAt(software.root, L"Microsoft\\Windows NT\\CurrentVersion").values[0] =
        sample::textValue(L"SystemRoot", L"D:\\Win");
    sample::keyAt(software.root, L"Microsoft\\Windows\\CurrentVersion").values = {
        sample::textValue(L"ProgramFilesDir", L"D:\\Apps"),
        sample::textValue(L"ProgramFilesDir (x86)", L"D:\\Apps32"),
        sample::textValue(L"ProgramW6432Dir", L"D:\\Apps64"),
        sample::textValue(L"CommonFilesDir", L"D:\\Shared"),
        sample::textValue(L"CommonFilesDir (x86)", L"D:\\Shared32"),
        sample::textValue(L"CommonW6432Dir", L"D:\\Shared64")};
    sample::keyAt(software.root, L"Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")
        .values = {sample::textValue(L"Common Programs", L"D:\\Menu\\Programs"),
                   sample::textValue(L"Common Start Menu", L"D:\\Menu"),
                   sample::textValue(L"Common Desktop", L"D:\\Pub\\Desk"),
                   sample::textValue(L"Common Documents", L"D:\\Pub\\Docs")};
    sample::keyAt(software.root,
                  L"Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders")
        .values.clear();
    sample::keyAt(software.root, L"Microsoft\\Windows NT\\CurrentVersion\\ProfileList").values = {
        sample::textValue(L"ProgramData", L"D:\\Data"), sample::textValue(L"Public", L"D:\\Pub")};
    writeEvidenceFile(drive, "windows/SYSTEM32/config/SOFTWARE", sample::writeHive(software));
    const ScanResults recorded = scan(root.path);
    for (std::size_t i = 0; i < std::size(fixedFolders); ++i) {
        bool atDefault = true;
        EXPECT_EQ(pathOf(recorded, i, atDefault),
                  std::wstring(fixedFolders[i].recorded) + L"\\app" + std::to_wstring(i) + L".exe")
            << testing::narrow(fixedFolders[i].id);
        EXPECT_FALSE(atDefault) << i;
    }

    // One that records only where Windows is (and is 64-bit, as SYSTEM's
    // environment says): every folder at its documented place on C:.
    software = sample::softwareHive({{alice, L"C:\\Users\\alice"}});
    sample::keyAt(software.root, L"Microsoft\\Windows\\CurrentVersion").values.clear();
    sample::keyAt(software.root,
                  L"Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders")
        .values.clear();
    sample::keyAt(software.root, L"Microsoft\\Windows NT\\CurrentVersion\\ProfileList")
        .values.clear();
    writeEvidenceFile(drive, "windows/SYSTEM32/config/SOFTWARE", sample::writeHive(software));
    HiveSpec system = sample::systemHive(3);
    sample::keyAt(system.root, L"ControlSet002\\Control\\Session Manager\\Environment").values = {
        sample::textValue(L"PROCESSOR_ARCHITECTURE", L"AMD64")};
    writeEvidenceFile(drive, "windows/SYSTEM32/config/system", sample::writeHive(system));
    const ScanResults documented = scan(root.path);
    for (std::size_t i = 0; i < std::size(fixedFolders); ++i) {
        bool atDefault = false;
        const std::wstring expected =
            std::wstring(fixedFolders[i].documented) + L"\\app" + std::to_wstring(i) + L".exe";
        EXPECT_EQ(pathOf(documented, i, atDefault), expected)
            << testing::narrow(fixedFolders[i].id);
        EXPECT_EQ(atDefault, i >= 3) << "the system folders come from SystemRoot " << i;
    }
    EXPECT_EQ(documented.tally[folderIdsUnresolved], 0u);

    // Whether it was 64-bit not known: the folders that depend on it stay
    // unresolved rather than guessed.
    writeEvidenceFile(drive, "windows/SYSTEM32/config/system",
                      sample::writeHive(sample::systemHive(3)));
    const ScanResults unknownBits = scan(root.path);
    EXPECT_EQ(unknownBits.tally[folderIdsUnresolved], 5u);
    bool atDefault = false;
    EXPECT_EQ(pathOf(unknownBits, 5, atDefault), L"");
    EXPECT_EQ(pathOf(unknownBits, 3, atDefault), L"C:\\Program Files\\app3.exe");
}

TEST_F(EvidenceScan, FactsItsFilesDoNotGiveAreNotKnownNeverThisMachines) {
    std::filesystem::remove(drive / "windows/SYSTEM32/config/SOFTWARE");
    std::filesystem::remove(drive / "windows/SYSTEM32/config/system");
    const ScanResults results = scan(root.path);
    const ScanFacts& facts = results.facts;
    EXPECT_TRUE(facts.elevationNotApplicable);
    EXPECT_EQ(facts[enablePrefetcherPresent].state, FactState::NotKnown);
    EXPECT_EQ(facts[enablePrefetcherValue].state, FactState::NotKnown);
    EXPECT_EQ(facts[prefetchEnabled].state, FactState::NotKnown);
    EXPECT_EQ(facts[prefetchRetentionLimit].state, FactState::NotKnown);
    EXPECT_EQ(facts[prefetchDirReadable].state, FactState::Known);
    EXPECT_EQ(facts[prefetchDirReadable].value, 1u) << "the copy's own folder: that much is known";

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
    EXPECT_NE(json.find("\"elevated\":null,\"prefetch_enabled\":null,"
                        "\"prefetch_dir_readable\":true,\"prefetch_retention_limit\":null,"
                        "\"enable_prefetcher_present\":null,\"enable_prefetcher_value\":null"),
              std::string::npos)
        << json;

    // The window says nothing of this process's rights, nor of a limit it
    // does not know, nor that prefetching was off.
    const std::wstring banner = bannerText(results.tally, facts, results.origin);
    EXPECT_EQ(banner.find(L"switched off"), std::wstring::npos);
    EXPECT_EQ(banner.find(L"keeps at most"), std::wstring::npos);
    EXPECT_NE(banner.find(L"kept is not known"), std::wstring::npos) << testing::narrow(banner);
    EXPECT_EQ(statusBarTexts(1, 1, results.tally, facts)[3], L" collected evidence ");

    // With SYSTEM but without the value, its absence is a fact and what
    // Windows would have done without it is not.
    sample::HiveSpec system = sample::systemHive(3);
    sample::keyAt(system.root,
                  L"ControlSet002\\Control\\Session Manager\\Memory Management\\PrefetchParameters")
        .values.clear();
    writeEvidenceFile(drive, "windows/SYSTEM32/config/SYSTEM", sample::writeHive(system));
    const ScanResults absent = scan(root.path);
    EXPECT_EQ(absent.facts[enablePrefetcherPresent].state, FactState::Known);
    EXPECT_EQ(absent.facts[enablePrefetcherPresent].value, 0u);
    EXPECT_EQ(absent.facts[enablePrefetcherValue].state, FactState::NotApplicable);
    EXPECT_EQ(absent.facts[prefetchEnabled].state, FactState::NotKnown);
    const std::wstring absentHeader = buildReportHeader(absent.tally, absent.facts, absent.origin);
    EXPECT_NE(absentHeader.find(L"# Prefetch enabled,not known\r\n"), std::wstring::npos);
    EXPECT_NE(absentHeader.find(L"# EnablePrefetcher value present,no\r\n"
                                L"# EnablePrefetcher raw value,not applicable\r\n"),
              std::wstring::npos);

    // A setting that is there is stated, off included.
    writeEvidenceFile(drive, "windows/SYSTEM32/config/SYSTEM",
                      sample::writeHive(sample::systemHive(0)));
    const ScanResults off = scan(root.path);
    EXPECT_EQ(off.facts[prefetchEnabled].state, FactState::Known);
    EXPECT_EQ(off.facts[prefetchEnabled].value, 0u);
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
    EXPECT_EQ(results.tally[hivesUnreadable], 1u);
    EXPECT_EQ(results.tally[systemHivesUnreadable], 1u);
    EXPECT_EQ(results.facts[enablePrefetcherPresent].state, FactState::NotKnown)
        << "without SYSTEM the setting is not known";
    EXPECT_TRUE(results.anyFailure);
    EXPECT_EQ(results.facts.profilesExamined, 1u);
    EXPECT_EQ(results.tally[prefetchParsed], 2u);
}

TEST(EvidenceRoot, AFolderThatIsNoWindowsDriveExaminesNothing) {
    testing::TempFolder root;
    writeEvidenceFile(root.path, "photos/cat.jpg", {1, 2, 3});
    ScanResults results;
    runScan(ScanTarget{ScanSubject::EvidenceRoot, root.text()}, results);
    EXPECT_TRUE(results.records.empty());
    EXPECT_EQ(results.tally[prefetchDirUnreadable], 1u);
    EXPECT_EQ(results.tally[userAssistUnreadable], 1u);
    EXPECT_EQ(results.tally[systemHivesUnreadable], 2u);
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
    EXPECT_EQ(results.tally[prefetchSeen], prefetchFiles);
    EXPECT_EQ(results.tally[prefetchSeen],
              results.tally[prefetchParsed] + results.tally[prefetchMalformed] +
                  results.tally[prefetchNotPrefetch] + results.tally[prefetchUnreadable] +
                  results.tally[prefetchDecompressFailed] + results.tally[prefetchUnknownVersion]);
    EXPECT_EQ(results.tally[prefetchNotPrefetch], 1u) << "the corpus's one file that is not one";
    std::uint32_t parsed = 0;
    std::uint32_t seen = 0;
    for (const auto& facts : testing::userAssistExports) {
        parsed += facts.parsed;
        seen += facts.valuesSeen;
    }
    EXPECT_EQ(results.tally[userAssistSeen], seen);
    EXPECT_EQ(results.tally[userAssistParsed], parsed);
    EXPECT_EQ(results.facts.profilesExamined, users);
    EXPECT_EQ(results.tally[hivesUnreadable] + results.tally[hivesStale], 0u);
    // The hives hold other records of the shell's too (RunMRU and the like).
    const std::size_t launches = testing::recordsOf(results, prefetchSource).size() +
                                 testing::recordsOf(results, userAssistSource).size();
    EXPECT_EQ(launches, results.tally[prefetchParsed] + parsed);
}

} // namespace
} // namespace tidewell
