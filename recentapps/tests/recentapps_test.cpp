// The search's recent programs: the id or path that names each, its count
// and last launch, the files it opened with their times, times that are no
// possible date, and a real user's hive with transaction logs to apply.
#include <gtest/gtest.h>

#include "platform/system_clock.h"
#include "recentapps/recentapps_counters.h"
#include "recentapps/recentapps_details.h"
#include "recentapps/recentapps_reader.h"
#include "recentapps/recentapps_source.h"
#include "recentapps/sample/recentapps_key.h"
#include "sample/evidence_tree.h"
#include "support/scans.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

const std::wstring alice = L"S-1-5-21-7-8-9-1001";
constexpr FileTime now = 133996032000000000ULL;      // 2025-08-14
constexpr FileTime launched = 131443184721780000ULL; // 2017-07-07

KeyValue text(const std::wstring& name, const std::wstring& value) {
    return {name, 1, sample::registryText(value)};
}

KeyValue qword(const std::wstring& name, std::uint64_t value) {
    std::vector<std::uint8_t> data(8);
    for (std::size_t at = 0; at < 8; ++at) {
        data[at] = static_cast<std::uint8_t>(value >> (8 * at));
    }
    return {name, 11, data};
}

TEST(RecentAppsValues, AProgramsNameCountTimeAndFiles) {
    RegistryKey none;
    const UserHive hive{alice, L"alice", &none, false, nullptr};
    ScanTally tally;
    LaunchRecord record;
    const RecentItem item = recentItemOf({text(L"DisplayName", L"notes.txt"),
                                          text(L"Path", L"C:\\Users\\alice\\notes.txt"),
                                          qword(L"LastAccessedTime", launched + 5)},
                                         now, tally);
    ASSERT_TRUE(makeRecentAppRecord(L"{DA8DC440-0FAA-417D-8AF4-8F4B2EB50409}",
                                    {qword(L"LastAccessedTime", launched),
                                     text(L"AppId", L"D:\\setup64.exe"),
                                     {L"LaunchCount", 4, sample::registryDword(3)},
                                     text(L"AppPath", L"")},
                                    {item}, hive, now, tally, record));
    EXPECT_EQ(record.name, L"setup64.exe");
    EXPECT_EQ(record.path, L"D:\\setup64.exe");
    EXPECT_EQ(record.runCount, 3u);
    EXPECT_TRUE(record.runCountKnown);
    EXPECT_EQ(record.runTimes, std::vector<std::uint64_t>{launched});
    EXPECT_EQ(recentAppsSource.listDetail(record), L"1 file opened");
    DetailContext context;
    context.times = TimeBasis::Utc;
    const std::wstring detail = buildDetailText(record, context);
    EXPECT_NE(detail.find(L"notes.txt  (C:\\Users\\alice\\notes.txt)"), std::wstring::npos)
        << testing::narrow(detail);
    EXPECT_NE(detail.find(L"Times run:         3\r\n"), std::wstring::npos);

    // An application id names no file; its package joins.
    LaunchRecord app;
    ASSERT_TRUE(makeRecentAppRecord(L"{1}",
                                    {text(L"AppId", L"Microsoft.Windows.Photos_8wekyb3d8bbwe!App"),
                                     qword(L"LastAccessedTime", 1)},
                                    {}, hive, now, tally, app));
    EXPECT_EQ(app.pathStatus, PathStatus::NoPathRecorded);
    EXPECT_TRUE(app.runTimes.empty()) << "1601 is no possible date";
    EXPECT_FALSE(app.runCountKnown);
    EXPECT_EQ(tally[recentAppsImpossibleDate], 1u);
    JoinFacts facts;
    recentAppsSource.joinFacts(app, facts);
    EXPECT_EQ(facts.package, L"Microsoft.Windows.Photos_8wekyb3d8bbwe!App");
    // AppPath, where it names a file, names the program.
    LaunchRecord both;
    ASSERT_TRUE(makeRecentAppRecord(
        L"{2}", {text(L"AppId", L"Contoso.Tool"), text(L"AppPath", L"C:\\Tools\\tool.exe")}, {},
        hive, now, tally, both));
    EXPECT_EQ(both.path, L"C:\\Tools\\tool.exe");

    LaunchRecord nameless;
    EXPECT_FALSE(makeRecentAppRecord(L"{3}", {{L"LaunchCount", 4, sample::registryDword(1)}}, {},
                                     hive, now, tally, nameless));
    EXPECT_EQ(tally[recentAppsWithoutId], 1u);
    EXPECT_EQ(tally[recentAppsRead], 3u);
}

void writeDrive(const std::filesystem::path& root) {
    sample::writeEvidenceFile(
        root, "Windows/System32/config/SOFTWARE",
        sample::writeHive(sample::softwareHive({{alice, L"C:\\Users\\alice"}})));
    sample::writeEvidenceFile(root, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root, "Windows/Prefetch/.keep", {});
}

TEST(RecentAppsEvidence, WrittenAndRealKeysAreRead) {
    testing::TempFolder root;
    writeDrive(root.path);
    sample::HiveSpec hive;
    sample::addRecentApps(hive.root, {{L"{A}",
                                       L"C:\\Tools\\wipe.exe",
                                       L"",
                                       4,
                                       launched,
                                       {{L"secret.docx", L"C:\\secret.docx", launched + 10},
                                        {L"other.txt", L"C:\\other.txt", 0}}}});
    sample::writeEvidenceFile(root.path, "Users/alice/NTUSER.DAT", sample::writeHive(hive));
    const ScanResults results = testing::scanEvidence(root.path);
    EXPECT_EQ(readingOf(results.origin, recentAppsSource).presence, SourcePresence::Read);
    const std::vector<const LaunchRecord*> records = testing::recordsOf(results, recentAppsSource);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->runCount, 4u);
    const std::vector<RecentItem>& items = recentAppsDetails(*records[0])->items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].lastAccessed, launched + 10);
    EXPECT_EQ(items[1].lastAccessed, 0u);

    TIDEWELL_REQUIRE_CORPUS("sources/registry");
    testing::TempFolder real;
    writeDrive(real.path);
    const std::filesystem::path from = testing::corpusRoot() / "sources/registry/regipy";
    sample::writeEvidenceFile(real.path, "Users/alice/NTUSER.DAT",
                              testing::readWholeFile(from / "transactions_NTUSER.DAT"));
    sample::writeEvidenceFile(real.path, "Users/alice/NTUSER.DAT.LOG1",
                              testing::readWholeFile(from / "transactions_ntuser.dat.log1"));
    sample::writeEvidenceFile(real.path, "Users/alice/NTUSER.DAT.LOG2",
                              testing::readWholeFile(from / "transactions_ntuser.dat.log2"));
    const ScanResults scanned = testing::scanEvidence(real.path);
    const std::vector<const LaunchRecord*> apps = testing::recordsOf(scanned, recentAppsSource);
    ASSERT_GE(apps.size(), 1u);
    EXPECT_EQ(scanned.tally[recentAppsUnreadable], 0u);
    const LaunchRecord* setup = testing::recordNamed(apps, L"setup64.exe");
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(setup->path, L"D:\\setup64.exe");
    EXPECT_EQ(setup->runTimes, std::vector<std::uint64_t>{launched});
}

} // namespace
} // namespace tidewell
