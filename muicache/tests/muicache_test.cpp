// The shell's names of programs: both forms of the values, both places
// they are kept, the classes hive found beside each profile (with its
// logs), and real users' hives of Windows 10 and Windows XP.
#include <gtest/gtest.h>

#include "muicache/muicache_counters.h"
#include "muicache/muicache_details.h"
#include "muicache/muicache_reader.h"
#include "muicache/muicache_source.h"
#include "muicache/sample/muicache_key.h"
#include "sample/evidence_tree.h"
#include "support/scans.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

const std::wstring alice = L"S-1-5-21-7-8-9-1001";
const std::string registryFolder = "sources/registry/regipy";

KeyValue text(const std::wstring& name, const std::wstring& value) {
    return {name, 1, sample::registryText(value)};
}

TEST(MuiCacheValues, EachProgramsNamesAreGatheredByItsPath) {
    RegistryKey none;
    const UserHive hive{alice, L"alice", &none, false, nullptr};
    RecordList records;
    ScanTally tally;
    makeMuiCacheRecords({{L"LangID", 3, {9, 4}},
                         text(L"C:\\Tools\\renamed.exe.FriendlyAppName", L"Mimikatz"),
                         text(L"@shell32.dll,-22075", L"Windows Catalog"),
                         text(L"C:\\TOOLS\\RENAMED.EXE.ApplicationCompany", L"gentilkiwi"),
                         text(L"C:\\Old\\app.exe", L"Old Application"),
                         text(L"C:\\Only\\company.exe.ApplicationCompany", L"Contoso"),
                         KeyValue{L"C:\\x.exe.FriendlyAppName", 4, sample::registryDword(1)}},
                        MuiCacheKey::Classes, 42, hive, records, tally);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(tally[muiCacheProgramsRead], 3u);
    EXPECT_EQ(tally[muiCacheOtherNames], 2u);
    EXPECT_EQ(tally[muiCacheWrongShape], 1u);
    const MuiCacheDetails& renamed = *muiCacheDetails(records[0]);
    EXPECT_EQ(records[0].name, L"renamed.exe");
    EXPECT_EQ(records[0].path, L"C:\\Tools\\renamed.exe");
    EXPECT_EQ(renamed.description, L"Mimikatz");
    EXPECT_EQ(renamed.company, L"gentilkiwi");
    EXPECT_EQ(muiCacheSource.listDetail(records[0]), L"Mimikatz, gentilkiwi");
    EXPECT_EQ(muiCacheDetails(records[1])->description, L"Old Application");
    EXPECT_FALSE(muiCacheDetails(records[1])->hasCompany);
    EXPECT_FALSE(muiCacheDetails(records[2])->hasDescription);
    const std::wstring detail = buildDetailText(records[2], DetailContext{});
    EXPECT_NE(detail.find(L"Description:       (not recorded)\r\n"), std::wstring::npos)
        << testing::narrow(detail);
    EXPECT_TRUE(records[0].runTimes.empty());
    std::vector<NamedTime> times;
    muiCacheSource.namedTimes(records[0], times);
    ASSERT_EQ(times.size(), 1u);
    EXPECT_EQ(times[0].time, 42u);
}

void writeDrive(const std::filesystem::path& root, const std::wstring& profile) {
    sample::writeEvidenceFile(root, "Windows/System32/config/SOFTWARE",
                              sample::writeHive(sample::softwareHive({{alice, profile}})));
    sample::writeEvidenceFile(root, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root, "Windows/Prefetch/.keep", {});
}

const char classesPath[] = "Users/alice/AppData/Local/Microsoft/Windows/UsrClass.dat";

TEST(MuiCacheEvidence, TheClassesHiveBesideEachProfileIsRead) {
    testing::TempFolder root;
    writeDrive(root.path, L"C:\\Users\\alice");
    sample::HiveSpec classes;
    sample::addMuiCache(classes.root, {{L"C:\\Tools\\renamed.exe", L"Mimikatz", L"gentilkiwi"}});
    sample::writeEvidenceFile(root.path, classesPath, sample::writeHive(classes));
    sample::writeEvidenceFile(root.path, "Users/alice/NTUSER.DAT",
                              sample::writeHive(sample::HiveSpec{}));
    const ScanResults results = testing::scanEvidence(root.path);
    EXPECT_EQ(readingOf(results.origin, muiCacheSource).presence, SourcePresence::Read);
    const std::vector<const LaunchRecord*> records = testing::recordsOf(results, muiCacheSource);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->userName, L"alice");
    EXPECT_EQ(muiCacheDetails(*records[0])->description, L"Mimikatz");
    EXPECT_EQ(readingOf(results.origin, muiCacheSource).note,
              L"the shell's names of 1 of 1 users' hives");

    // Without the classes hive the source is not present, and nothing counted.
    testing::TempFolder bare;
    writeDrive(bare.path, L"C:\\Users\\alice");
    sample::writeEvidenceFile(bare.path, "Users/alice/NTUSER.DAT",
                              sample::writeHive(sample::HiveSpec{}));
    const ScanResults without = testing::scanEvidence(bare.path);
    EXPECT_EQ(readingOf(without.origin, muiCacheSource).presence, SourcePresence::NotPresent);
    EXPECT_FALSE(without.anyFailure);

    // A classes hive that is no hive is counted and the source unreadable.
    testing::TempFolder broken;
    writeDrive(broken.path, L"C:\\Users\\alice");
    sample::writeEvidenceFile(broken.path, "Users/alice/NTUSER.DAT",
                              sample::writeHive(sample::HiveSpec{}));
    sample::writeEvidenceFile(broken.path, classesPath, std::vector<std::uint8_t>(8192, 7));
    const ScanResults damaged = testing::scanEvidence(broken.path);
    EXPECT_EQ(readingOf(damaged.origin, muiCacheSource).presence, SourcePresence::Unreadable);
    EXPECT_EQ(damaged.tally[muiCacheUnreadable], 1u);
    EXPECT_TRUE(damaged.anyFailure);
}

TEST(MuiCacheCorpus, RealClassesAndXpHivesAreRead) {
    TIDEWELL_REQUIRE_CORPUS(registryFolder);
    testing::TempFolder root;
    writeDrive(root.path, L"C:\\Users\\alice");
    const std::filesystem::path from = testing::corpusRoot() / registryFolder;
    sample::writeEvidenceFile(root.path, "Users/alice/NTUSER.DAT",
                              sample::writeHive(sample::HiveSpec{}));
    sample::writeEvidenceFile(root.path, classesPath,
                              testing::readWholeFile(from / "UsrClass.dat"));
    for (const char* log : {".LOG1", ".LOG2"}) {
        sample::writeEvidenceFile(
            root.path, std::string(classesPath) + log,
            testing::readWholeFile(from / ("UsrClass.dat" + std::string(log))));
    }
    const ScanResults results = testing::scanEvidence(root.path);
    const std::vector<const LaunchRecord*> records = testing::recordsOf(results, muiCacheSource);
    EXPECT_GE(records.size(), 15u);
    EXPECT_EQ(results.tally[muiCacheWrongShape], 0u);
    const LaunchRecord* word = testing::recordNamed(records, L"Winword.exe");
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(muiCacheDetails(*word)->description, L"Word 2016");
    EXPECT_EQ(muiCacheDetails(*word)->company, L"Microsoft Corporation");
    for (const LaunchRecord* record : records) {
        EXPECT_TRUE(muiCacheDetails(*record)->hasDescription) << testing::narrow(record->name);
    }

    TIDEWELL_REQUIRE_CORPUS("hives/plaso");
    testing::TempFolder xp;
    writeDrive(xp.path, L"C:\\Documents and Settings\\joe");
    sample::writeEvidenceFile(
        xp.path, "Documents and Settings/joe/NTUSER.DAT",
        testing::readWholeFile(testing::corpusRoot() / "hives/plaso/NTUSER.DAT"));
    const ScanResults old = testing::scanEvidence(xp.path);
    const std::vector<const LaunchRecord*> named = testing::recordsOf(old, muiCacheSource);
    EXPECT_EQ(readingOf(old.origin, muiCacheSource).note,
              L"the shell's names of 1 of 1 users' hives; 1 without a classes hive (UsrClass.dat)");
    // Four programs; 126 resource strings and LangID name none.
    ASSERT_EQ(named.size(), 4u);
    EXPECT_EQ(old.tally[muiCacheOtherNames], 127u);
    const LaunchRecord* wipe = testing::recordNamed(named, L"bcwipe3.exe");
    ASSERT_NE(wipe, nullptr);
    EXPECT_EQ(muiCacheDetails(*wipe)->key, MuiCacheKey::ShellNoRoam);
    EXPECT_EQ(wipe->path,
              L"C:\\Documents and Settings\\joe\\My Documents\\Ni\u00F0urhal\\bcwipe3.exe");
}

} // namespace
} // namespace tidewell
