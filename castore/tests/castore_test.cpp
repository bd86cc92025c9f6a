// The Compatibility Assistant store: a value per program by its path, a
// program on removable media by its media's signature, the key's writing
// as the only time, and whole scans of a written drive and real users'
// hives (one with transaction logs to apply).
#include <gtest/gtest.h>

#include "castore/castore_counters.h"
#include "castore/castore_details.h"
#include "castore/castore_reader.h"
#include "castore/castore_source.h"
#include "castore/sample/castore_key.h"
#include "sample/evidence_tree.h"
#include "support/scans.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

const std::wstring alice = L"S-1-5-21-7-8-9-1001";
const std::string registryFolder = "sources/registry/regipy";

TEST(CompatibilityStoreValue, PathsAndMediaNamesAndNoRunTime) {
    RegistryKey none;
    const UserHive hive{alice, L"alice", &none, false, nullptr};
    LaunchRecord record;
    ASSERT_TRUE(makeCompatibilityStoreRecord(
        {L"C:\\Program Files\\WinRAR\\Uninstall.exe", 3, {'S', 'A', 'C', 'P', 1}}, 99, hive,
        record));
    EXPECT_EQ(record.name, L"Uninstall.exe");
    EXPECT_EQ(record.pathStatus, PathStatus::Resolved);
    EXPECT_TRUE(record.runTimes.empty());
    std::vector<NamedTime> times;
    compatibilityStoreSource.namedTimes(record, times);
    ASSERT_EQ(times.size(), 1u);
    EXPECT_EQ(times[0].time, 99u);
    EXPECT_NE(buildDetailText(record, DetailContext{}).find(L"the assistant's (SACP)"),
              std::wstring::npos);

    LaunchRecord media;
    ASSERT_TRUE(
        makeCompatibilityStoreRecord({L"SIGN.MEDIA=6F60F6C setup64.exe", 3, {}}, 0, hive, media));
    EXPECT_EQ(media.name, L"setup64.exe");
    EXPECT_EQ(media.pathStatus, PathStatus::NoPathRecorded);
    EXPECT_EQ(compatibilityStoreSource.listDetail(media),
              L"started from removable media: SIGN.MEDIA=6F60F6C setup64.exe");
    times.clear();
    compatibilityStoreSource.namedTimes(media, times);
    EXPECT_TRUE(times.empty()) << "a live key's writing is not known";
    const std::wstring detail = buildDetailText(media, DetailContext{});
    EXPECT_NE(detail.find(L"not in the assistant's usual form"), std::wstring::npos);
    EXPECT_NE(detail.find(L"(not known: the live registry does not give it)"), std::wstring::npos);

    LaunchRecord unnamed;
    EXPECT_FALSE(makeCompatibilityStoreRecord({L"", 3, {}}, 0, hive, unnamed));
}

void writeDrive(const std::filesystem::path& root) {
    sample::writeEvidenceFile(
        root, "Windows/System32/config/SOFTWARE",
        sample::writeHive(sample::softwareHive({{alice, L"C:\\Users\\alice"}})));
    sample::writeEvidenceFile(root, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root, "Windows/Prefetch/.keep", {});
}

TEST(CompatibilityStoreEvidence, WrittenAndRealStoresAreRead) {
    testing::TempFolder root;
    writeDrive(root.path);
    sample::HiveSpec hive;
    sample::addCompatibilityStore(hive.root, {L"C:\\Tools\\a.exe", L"D:\\b.exe"});
    sample::writeEvidenceFile(root.path, "Users/alice/NTUSER.DAT", sample::writeHive(hive));
    const ScanResults results = testing::scanEvidence(root.path);
    EXPECT_EQ(readingOf(results.origin, compatibilityStoreSource).presence, SourcePresence::Read);
    EXPECT_EQ(results.tally[compatibilityStoreRead], 2u);
    const std::vector<const LaunchRecord*> records =
        testing::recordsOf(results, compatibilityStoreSource);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(compatibilityStoreDetails(*records[0])->keyWritten, hive.lastWritten);

    TIDEWELL_REQUIRE_CORPUS(registryFolder);
    struct Real {
        const char* file;
        std::vector<const char*> logs;
        std::size_t programs;
    };
    const Real reals[] = {
        {"NTUSER_with_winscp.DAT", {}, 54},
        {"transactions_NTUSER.DAT",
         {"transactions_ntuser.dat.log1", "transactions_ntuser.dat.log2"},
         4},
    };
    for (const Real& real : reals) {
        SCOPED_TRACE(real.file);
        testing::TempFolder drive;
        writeDrive(drive.path);
        const std::filesystem::path from = testing::corpusRoot() / registryFolder;
        sample::writeEvidenceFile(drive.path, "Users/alice/NTUSER.DAT",
                                  testing::readWholeFile(from / real.file));
        for (const char* log : real.logs) {
            const std::string name = std::string(log).substr(std::string(log).rfind('.'));
            sample::writeEvidenceFile(drive.path, "Users/alice/NTUSER.DAT" + name,
                                      testing::readWholeFile(from / log));
        }
        const ScanResults scanned = testing::scanEvidence(drive.path);
        EXPECT_EQ(testing::recordsOf(scanned, compatibilityStoreSource).size(), real.programs);
        EXPECT_EQ(scanned.tally[compatibilityStoreUnreadable], 0u);
    }
}

} // namespace
} // namespace tidewell
