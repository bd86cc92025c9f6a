// SRUM's rows as records: ids resolved through the id map (paths, names,
// services, packaged applications, SIDs, and ids the map lacks), a program's
// rows of both tables summed per user, its hours in use from the OLE dates,
// and each record as the views and the join see it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/record_source.h"
#include "core/scan_tally.h"
#include "sample/evidence_tree.h"
#include "srum/srum_counters.h"
#include "srum/srum_details.h"
#include "srum/srum_ids.h"
#include "srum/srum_records.h"
#include "srum/srum_source.h"

namespace tidewell {
namespace {

// S-1-5-21-2209459975-2648094048-902850153-1000, as a real database holds it.
const std::vector<std::uint8_t> aliceSid = {
    0x01, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x15, 0x00, 0x00, 0x00, 0x07, 0xaf,
    0xb1, 0x83, 0x60, 0xb5, 0xd6, 0x9d, 0x69, 0x66, 0xd0, 0x35, 0xe8, 0x03, 0x00, 0x00};
const std::vector<std::uint8_t> systemSid = {0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
                                             0x00, 0x05, 0x12, 0x00, 0x00, 0x00};

constexpr double noonFeb5 = 44597.5;                      // 2022-02-05 12:00 UTC
constexpr FileTime noonFeb5Time = 132885360000000000ULL;  // the same
constexpr FileTime onePmFeb5Time = 132885396000000000ULL; // an hour later
constexpr double onePmFeb5 = 44597.5 + 1.0 / 24;

SrumTables sampleTables() {
    SrumTables tables;
    tables.open = SrumOpen::Opened;
    tables.idMapPresent = tables.usagePresent = tables.networkPresent = true;
    tables.usageFiguresRecorded = srumTableFigures(true);
    tables.networkFiguresRecorded = srumTableFigures(false);
    tables.ids = {
        {1, 0, sample::registryText(L"\\device\\harddiskvolume3\\windows\\system32\\notepad.exe")},
        {2, 3, aliceSid},
        {3, 1, sample::registryText(L"wuauserv")},
        {4, 2,
         sample::registryText(
             L"Microsoft.WindowsCalculator_10.0.1_x64__8wekyb3d8bbwe!App!Calc.exe!2020/01/01:"
             L"00:00:00!1!")},
        {5, 0,
         sample::registryText(L"!!svchost.exe!2013/03/29:14:54:16!1f834![netsvcs] [Schedule]")},
        {6, 0, sample::registryText(L"C:\\Tools\\x.exe")},
        {7, 3, systemSid},
        {8, 0, {}},
    };
    return tables;
}

SrumRow usage(double time, std::uint32_t app, std::uint32_t user, std::uint64_t foreground,
              std::uint64_t background, std::uint64_t bytesRead = 0) {
    SrumRow row;
    row.timeStamp = time;
    row.appId = app;
    row.userId = user;
    row.figures.foregroundCycles = foreground;
    row.figures.backgroundCycles = background;
    row.figures.foregroundBytesRead = bytesRead;
    return row;
}

SrumRow network(double time, std::uint32_t app, std::uint32_t user, std::uint64_t interfaceLuid,
                std::uint64_t sent, std::uint64_t received) {
    SrumRow row{time, app, user, interfaceLuid, {}};
    row.figures.bytesSent = sent;
    row.figures.bytesReceived = received;
    return row;
}

const LaunchRecord* named(const RecordList& records, const std::wstring& name,
                          const std::wstring& sid = L"") {
    for (const LaunchRecord& record : records) {
        if (record.name == name && (sid.empty() || record.userSid == sid)) {
            return &record;
        }
    }
    return nullptr;
}

TEST(SrumIds, BinarySidsBecomeTheirText) {
    std::wstring text;
    ASSERT_TRUE(sidText(aliceSid, text));
    EXPECT_EQ(text, L"S-1-5-21-2209459975-2648094048-902850153-1000");
    ASSERT_TRUE(sidText(systemSid, text));
    EXPECT_EQ(text, L"S-1-5-18");
    // The authority is big-endian: 0x0000_0000_0100 is 256.
    ASSERT_TRUE(sidText({0x01, 0x00, 0, 0, 0, 0, 0x01, 0x00}, text));
    EXPECT_EQ(text, L"S-1-256");

    std::vector<std::uint8_t> revision2 = systemSid;
    revision2[0] = 2;
    std::vector<std::uint8_t> longer = systemSid;
    longer.push_back(0);
    std::vector<std::uint8_t> claimsTwo = systemSid;
    claimsTwo[1] = 2;
    std::vector<std::uint8_t> sixteen(8 + 16 * 4, 0);
    sixteen[0] = 1;
    sixteen[1] = 16;
    for (const auto& bad : {revision2, longer, claimsTwo, sixteen, std::vector<std::uint8_t>{}}) {
        text = L"kept";
        EXPECT_FALSE(sidText(bad, text));
        EXPECT_EQ(text, L"kept");
    }
}

TEST(SrumIds, EachKindOfProgramIdIsNamedAsItIs) {
    const SrumTables tables = sampleTables();
    const SrumIdMap map = srumIdMap(tables.ids);

    const SrumProgram device = srumProgram(map.find(1));
    EXPECT_EQ(device.kind, SrumProgramKind::Path);
    EXPECT_EQ(device.name, L"notepad.exe");
    EXPECT_EQ(device.path, L"\\device\\harddiskvolume3\\windows\\system32\\notepad.exe")
        << "the terminating NUL is not part of the path";

    const SrumProgram drive = srumProgram(map.find(6));
    EXPECT_EQ(drive.kind, SrumProgramKind::Path);
    EXPECT_EQ(drive.path, L"C:\\Tools\\x.exe");

    const SrumProgram service = srumProgram(map.find(3));
    EXPECT_EQ(service.kind, SrumProgramKind::Service);
    EXPECT_EQ(service.name, L"wuauserv");
    EXPECT_TRUE(service.path.empty());

    const SrumProgram package = srumProgram(map.find(4));
    EXPECT_EQ(package.kind, SrumProgramKind::Package);
    EXPECT_EQ(package.package, L"Microsoft.WindowsCalculator_10.0.1_x64__8wekyb3d8bbwe");

    const SrumProgram hosted = srumProgram(map.find(5));
    EXPECT_EQ(hosted.kind, SrumProgramKind::HostedName);
    EXPECT_EQ(hosted.name, L"svchost.exe");
    EXPECT_EQ(hosted.recorded, L"!!svchost.exe!2013/03/29:14:54:16!1f834![netsvcs] [Schedule]");
    EXPECT_TRUE(hosted.path.empty()) << "a name with a link time is no path";

    EXPECT_EQ(srumProgram(map.find(99)).kind, SrumProgramKind::NotInIdMap);
    EXPECT_EQ(srumProgram(map.find(8)).name, L"");
}

TEST(SrumIds, TheMapFindsAnIndexAndKeepsTheFirstOfTwo) {
    std::vector<SrumIdEntry> ids = {{9, 1, sample::registryText(L"second")},
                                    {3, 1, sample::registryText(L"three")},
                                    {9, 1, sample::registryText(L"again")}};
    const SrumIdMap map = srumIdMap(ids);
    ASSERT_NE(map.find(9), nullptr);
    EXPECT_EQ(srumProgram(map.find(9)).name, L"second");
    EXPECT_EQ(srumProgram(map.find(3)).name, L"three");
    EXPECT_EQ(map.find(4), nullptr);
    EXPECT_EQ(map.find(0), nullptr);
    EXPECT_EQ(srumIdMap({}).find(1), nullptr);
}

TEST(SrumDates, OleDatesBecomeFileTimesToTheMillisecond) {
    FileTime time = 0;
    ASSERT_TRUE(oleDateFileTime(noonFeb5, time));
    EXPECT_EQ(time, noonFeb5Time);
    ASSERT_TRUE(oleDateFileTime(onePmFeb5, time));
    EXPECT_EQ(time, onePmFeb5Time) << "a twenty-fourth is no exact double; the millisecond is";
    ASSERT_TRUE(oleDateFileTime(44597.5 + 0.5 / 86400000, time));
    EXPECT_EQ(time, noonFeb5Time + 10000) << "half a millisecond rounds up";
    // Before day 0 the fraction still counts forward: -1.25 is 1899-12-29 06:00.
    ASSERT_TRUE(oleDateFileTime(-1.25, time));
    EXPECT_EQ(time, 94352472000000000ULL);
    ASSERT_TRUE(oleDateFileTime(-109205.0, time));
    EXPECT_EQ(time, 0u) << "1601-01-01, the first FILETIME";

    for (double bad : {std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), -109206.0, 1e9, -1e300}) {
        EXPECT_FALSE(oleDateFileTime(bad, time)) << bad;
    }
}

TEST(SrumRecords, AProgramsRowsOfBothTablesBecomeOneRecordPerUser) {
    SrumTables tables = sampleTables();
    tables.usage = {
        usage(noonFeb5, 1, 2, 100, 0, 4096),
        usage(onePmFeb5, 1, 2, 0, 50, 1),
        usage(onePmFeb5 + 1.0 / 24, 1, 2, 0, 0, 7), // no processor use: no hour
        usage(noonFeb5, 1, 7, 5, 0),                // the same program, another user
        usage(noonFeb5, 3, 7, 9, 9),
    };
    tables.network = {
        network(noonFeb5, 1, 2, 0x1000, 10, 20), network(onePmFeb5, 1, 2, 0x2000, 1, 2),
        network(onePmFeb5, 1, 2, 0x1000, 100, 200),
        network(noonFeb5, 6, 2, 0x1000, 5, 5), // network use only
    };
    RecordList records;
    ScanTally tally;
    makeSrumRecords(tables, L"C:\\Windows\\System32\\sru\\SRUDB.dat", records, tally);
    EXPECT_EQ(tally[srumUsageRowsRead], 5u);
    EXPECT_EQ(tally[srumNetworkRowsRead], 4u);
    EXPECT_EQ(tally[srumIdsNotMapped], 0u);
    ASSERT_EQ(records.size(), 4u);

    const LaunchRecord* alice =
        named(records, L"notepad.exe", L"S-1-5-21-2209459975-2648094048-902850153-1000");
    ASSERT_NE(alice, nullptr);
    EXPECT_EQ(alice->source, &srumSource);
    EXPECT_EQ(alice->recordFile, L"C:\\Windows\\System32\\sru\\SRUDB.dat");
    EXPECT_EQ(alice->path, L"\\device\\harddiskvolume3\\windows\\system32\\notepad.exe");
    EXPECT_EQ(alice->pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(alice->runTimes, (std::vector<FileTime>{onePmFeb5Time, noonFeb5Time}))
        << "the hours with cycles, newest first";
    const SrumDetails& details = *srumDetails(*alice);
    EXPECT_EQ(details.usageRows, 3u);
    EXPECT_EQ(details.networkRows, 3u);
    EXPECT_EQ(details.interfaces, 2u);
    EXPECT_EQ(details.totals.foregroundCycles, 100u);
    EXPECT_EQ(details.totals.backgroundCycles, 50u);
    EXPECT_EQ(details.totals.foregroundBytesRead, 4104u);
    EXPECT_EQ(details.totals.bytesSent, 111u);
    EXPECT_EQ(details.totals.bytesReceived, 222u);

    const LaunchRecord* system = named(records, L"notepad.exe", L"S-1-5-18");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->runTimes, std::vector<FileTime>{noonFeb5Time});
    EXPECT_EQ(srumDetails(*system)->totals.bytesSent, 0u);

    const LaunchRecord* networkOnly = named(records, L"x.exe");
    ASSERT_NE(networkOnly, nullptr);
    EXPECT_EQ(networkOnly->pathStatus, PathStatus::Resolved) << "a drive's path needs no placing";
    EXPECT_TRUE(networkOnly->runTimes.empty());
    std::wstring words;
    srumSource.countWords(*networkOnly, words);
    EXPECT_EQ(words, L"network use only");
    words.clear();
    srumSource.countWords(*alice, words);
    EXPECT_EQ(words, L"2 hours in use");

    const LaunchRecord* service = named(records, L"wuauserv");
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->pathStatus, PathStatus::NoPathRecorded);
}

TEST(SrumRecords, IdsTheMapLacksAndTimesThatAreNoDatesAreCountedNotDropped) {
    SrumTables tables = sampleTables();
    tables.usage = {
        usage(noonFeb5, 99, 2, 1, 0),
        usage(noonFeb5, 1, 98, 1, 0),
        usage(std::numeric_limits<double>::quiet_NaN(), 1, 2, 7, 0, 3),
        usage(1e12, 1, 2, 8, 0),
    };
    RecordList records;
    ScanTally tally;
    makeSrumRecords(tables, L"SRUDB.dat", records, tally);
    EXPECT_EQ(tally[srumIdsNotMapped], 2u);
    EXPECT_EQ(tally[srumTimesMalformed], 2u);
    ASSERT_EQ(records.size(), 3u);

    const LaunchRecord* unknown = named(records, L"(program id 99 not in the id map)");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(srumDetails(*unknown)->kind, SrumProgramKind::NotInIdMap);
    EXPECT_EQ(unknown->userSid, L"S-1-5-21-2209459975-2648094048-902850153-1000");

    const LaunchRecord* noUser = nullptr;
    const LaunchRecord* badTimes = nullptr;
    for (const LaunchRecord& record : records) {
        if (record.name == L"notepad.exe") {
            (record.userSid.empty() ? noUser : badTimes) = &record;
        }
    }
    ASSERT_NE(noUser, nullptr);
    EXPECT_EQ(srumDetails(*noUser)->userInIdMap, 0);
    EXPECT_EQ(srumDetails(*noUser)->userId, 98u);
    ASSERT_NE(badTimes, nullptr);
    EXPECT_TRUE(badTimes->runTimes.empty()) << "no hour from a time that is no date";
    EXPECT_EQ(srumDetails(*badTimes)->totals.foregroundCycles, 15u) << "its figures still count";
    EXPECT_EQ(srumDetails(*badTimes)->totals.foregroundBytesRead, 3u);
}

TEST(SrumRecords, AYoungDatabaseWithoutUsageTablesRecordsNoUsageAndIsNoFailure) {
    SrumTables young;
    young.open = SrumOpen::Opened;
    young.idMapPresent = true;
    EXPECT_EQ(srumTablesNote(young), L"no usage recorded");
    RecordList records;
    ScanTally tally;
    makeSrumRecords(young, L"SRUDB.dat", records, tally);
    EXPECT_TRUE(records.empty());
    for (const ScanCounter* counter : srumSource.counters) {
        EXPECT_EQ(tally[*counter], 0u) << counter->key;
    }
    young.networkPresent = true;
    young.networkFiguresRecorded = srumTableFigures(false);
    EXPECT_EQ(srumTablesNote(young), L"network usage read");
    young.usagePresent = true;
    young.usageFiguresRecorded = srumTableFigures(true);
    EXPECT_EQ(srumTablesNote(young), L"application usage and network usage read");
}

TEST(SrumRecords, AFigureAWindowsDidNotRecordIsSaidToBeNotRecordedNeverZero) {
    SrumTables older = sampleTables();
    // An application usage table without a FaceTime column, nor any
    // network usage table.
    older.networkPresent = false;
    older.networkFiguresRecorded = 0;
    older.usageFiguresRecorded = srumTableFigures(true) & ~(1u << 2);
    EXPECT_EQ(srumTablesNote(older), L"application usage read; not recorded: FaceTime");
    older.usage = {usage(noonFeb5, 1, 2, 10, 0)};
    RecordList records;
    ScanTally tally;
    makeSrumRecords(older, L"SRUDB.dat", records, tally);
    ASSERT_EQ(records.size(), 1u);
    SourceDetailParts parts;
    srumSource.detailParts(records[0], DetailContext{}, parts);
    EXPECT_NE(parts.fields.find(L"Face time:         (not recorded)"), std::wstring::npos);
    EXPECT_NE(parts.fields.find(L"Bytes sent:        (not recorded)"), std::wstring::npos);
    EXPECT_NE(parts.fields.find(L"Foreground cycles: 10"), std::wstring::npos);
}

TEST(SrumRecords, TotalsStopAtTheLargestFigureRatherThanWrap) {
    SrumTables tables = sampleTables();
    tables.network = {network(noonFeb5, 1, 2, 1, UINT64_MAX - 1, 0),
                      network(onePmFeb5, 1, 2, 1, 5, 0)};
    RecordList records;
    ScanTally tally;
    makeSrumRecords(tables, L"SRUDB.dat", records, tally);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(srumDetails(records[0])->totals.bytesSent, UINT64_MAX);
}

TEST(SrumRecords, TheViewJoinsByDevicePathOrPackageAndMergesPerProgramAndUser) {
    SrumTables tables = sampleTables();
    tables.usage = {usage(noonFeb5, 1, 2, 1, 0), usage(noonFeb5, 4, 2, 1, 0),
                    usage(noonFeb5, 1, 7, 1, 0)};
    RecordList records;
    ScanTally tally;
    makeSrumRecords(tables, L"SRUDB.dat", records, tally);
    ASSERT_EQ(records.size(), 3u);
    const LaunchRecord& notepadAlice = records[0];
    const LaunchRecord& notepadSystem = records[1];
    const LaunchRecord& calculator = records[2];
    ASSERT_EQ(calculator.name, L"Microsoft.WindowsCalculator_10.0.1_x64__8wekyb3d8bbwe");

    JoinFacts facts;
    srumSource.joinFacts(notepadAlice, facts);
    EXPECT_EQ(facts.devicePath, L"\\device\\harddiskvolume3\\windows\\system32\\notepad.exe");
    JoinFacts packageFacts;
    srumSource.joinFacts(calculator, packageFacts);
    EXPECT_EQ(packageFacts.package, L"Microsoft.WindowsCalculator_10.0.1_x64__8wekyb3d8bbwe");
    EXPECT_TRUE(packageFacts.devicePath.empty());

    EXPECT_NE(srumSource.mergeKey(notepadAlice), srumSource.mergeKey(notepadSystem));
    // The same program and user in an older copy of the database, whose ids
    // may differ, is the same record.
    SrumTables older = sampleTables();
    older.ids[0].index = 41;
    older.usage = {usage(noonFeb5 - 3, 41, 2, 1, 0)};
    RecordList olderRecords;
    makeSrumRecords(older, L"SRUDB.dat", olderRecords, tally);
    ASSERT_EQ(olderRecords.size(), 1u);
    EXPECT_EQ(srumSource.mergeKey(olderRecords[0]), srumSource.mergeKey(notepadAlice));
}

} // namespace
} // namespace tidewell
