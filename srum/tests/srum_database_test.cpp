// Real SRUM databases of Windows 10 and 11 read through the ESE library:
// every row of the id map and both tables as an independent exporter lists
// them, Windows 11's whole-page header sum accepted (and a header wrong both
// ways refused), damaged databases refused or counted, and whole scans of a
// copy of a drive that holds one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/scan_counters.h"
#include "report/json_report.h"
#include "sample/evidence_tree.h"
#include "sample/hive_writer.h"
#include "srum/ese_header.h"
#include "srum/srum_counters.h"
#include "srum/srum_details.h"
#include "srum/srum_records.h"
#include "srum/srum_source.h"
#include "srum/srum_tables.h"
#include "support/corpus_files.h"
#include "support/scans.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

const std::string srumFolder = "sources/srum/DFIRArtifactMuseum";

std::vector<std::uint8_t> database(const std::string& machine) {
    return testing::readWholeFile(testing::corpusRoot() / srumFolder / machine / "SRUDB.dat");
}

FileTime utc(int year, int month, int day, int hour, int minute) {
    // Days from 1601-01-01 by the civil calendar, for the few dates here.
    auto daysFromCivil = [](int y, int m, int d) {
        y -= m <= 2;
        const int era = (y >= 0 ? y : y - 399) / 400;
        const int yoe = y - era * 400;
        const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return static_cast<std::int64_t>(era) * 146097 + doe - 719468; // from 1970-01-01
    };
    const std::int64_t seconds =
        (daysFromCivil(year, month, day) * 86400) + hour * 3600 + minute * 60 + 11644473600LL;
    return static_cast<FileTime>(seconds) * 10000000ULL;
}

TEST(SrumDatabase, AWindows10DatabaseGivesEveryRowAsTheExporterListsThem) {
    TIDEWELL_REQUIRE_CORPUS(srumFolder);
    std::vector<std::uint8_t> bytes = database("Win10_RathbunVM_Clean");
    const EseHeader header = readEseHeader(ByteView{bytes.data(), bytes.size()});
    EXPECT_TRUE(eseShutDownCleanly(header.state));
    EXPECT_EQ(header.checksum, EseChecksum::Agrees);
    const SrumTables tables = readSrumTables(bytes);
    ASSERT_EQ(tables.open, SrumOpen::Opened) << std::string(tables.why.begin(), tables.why.end());
    EXPECT_FALSE(tables.headerSumMatched);
    EXPECT_EQ(tables.rowsUnreadable, 0u);
    EXPECT_EQ(tables.tablesMalformed, 0u);
    EXPECT_EQ(tables.ids.size(), 288u);
    ASSERT_EQ(tables.usage.size(), 118u);
    EXPECT_EQ(tables.network.size(), 23u);
    EXPECT_EQ(tables.usageFiguresRecorded, srumTableFigures(true)) << "every figure's column";
    EXPECT_EQ(tables.networkFiguresRecorded, srumTableFigures(false));

    const SrumRow& first = tables.usage.front();
    EXPECT_EQ(first.appId, 177u);
    EXPECT_EQ(first.userId, 178u);
    EXPECT_EQ(first.figures.foregroundCycles, 6870192u);
    EXPECT_EQ(first.figures.backgroundCycles, 0u);
    EXPECT_EQ(first.figures.faceTime, 5510548751u);
    FileTime time = 0;
    ASSERT_TRUE(oleDateFileTime(first.timeStamp, time));
    // The double is 22:19:00 to its last bit (the exporter prints it as
    // 22:18:59.231231222, its own conversion's error).
    EXPECT_EQ(time, utc(2022, 2, 5, 22, 19));
    const SrumRow& third = tables.usage[2];
    EXPECT_EQ(third.figures.foregroundBytesRead, 2992128u);
    EXPECT_EQ(third.figures.foregroundBytesWritten, 348160u);
    EXPECT_EQ(third.figures.foregroundReads, 338u);
    EXPECT_EQ(third.figures.foregroundWrites, 60u);

    const SrumRow& sent = tables.network[2];
    EXPECT_EQ(sent.appId, 160u);
    EXPECT_EQ(sent.userId, 52u);
    EXPECT_EQ(sent.interfaceLuid, 1689399632855040u);
    EXPECT_EQ(sent.figures.bytesSent, 247897u);
    EXPECT_EQ(sent.figures.bytesReceived, 7163701u);

    RecordList records;
    ScanTally tally;
    makeSrumRecords(tables, L"SRUDB.dat", records, tally);
    EXPECT_EQ(records.size(), 140u) << "one per program and user of either table";
    EXPECT_EQ(tally[srumIdsNotMapped], 0u);
    EXPECT_EQ(tally[srumTimesMalformed], 0u);
}

TEST(SrumDatabase, Windows11sWholePageHeaderSumIsAcceptedAndItsRowsEqualTheCleanCopys) {
    TIDEWELL_REQUIRE_CORPUS(srumFolder);
    std::vector<std::uint8_t> dirty = database("Win11_RathbunVM_Dirty");
    std::vector<std::uint8_t> clean = database("Win11_RathbunVM_Clean");
    const EseHeader header = readEseHeader(ByteView{dirty.data(), dirty.size()});
    EXPECT_EQ(header.checksum, EseChecksum::WholePage);
    EXPECT_FALSE(eseShutDownCleanly(header.state));

    const SrumTables fromDirty = readSrumTables(dirty);
    ASSERT_EQ(fromDirty.open, SrumOpen::Opened);
    EXPECT_TRUE(fromDirty.headerSumMatched);
    const SrumTables fromClean = readSrumTables(clean);
    ASSERT_EQ(fromClean.open, SrumOpen::Opened);
    EXPECT_FALSE(fromClean.headerSumMatched);
    EXPECT_EQ(fromDirty.ids.size(), 1044u);
    ASSERT_EQ(fromDirty.usage.size(), 662u);
    ASSERT_EQ(fromClean.usage.size(), 662u);
    EXPECT_EQ(fromDirty.network.size(), 143u);
    for (std::size_t row = 0; row < fromDirty.usage.size(); ++row) {
        ASSERT_EQ(fromDirty.usage[row].appId, fromClean.usage[row].appId) << row;
        ASSERT_EQ(fromDirty.usage[row].figures.foregroundCycles,
                  fromClean.usage[row].figures.foregroundCycles);
        ASSERT_EQ(fromDirty.usage[row].timeStamp, fromClean.usage[row].timeStamp);
    }

    RecordList records;
    ScanTally tally;
    makeSrumRecords(fromDirty, L"SRUDB.dat", records, tally);
    EXPECT_EQ(records.size(), 415u);
    std::size_t hours = 0;
    const LaunchRecord* edge = nullptr;
    for (const LaunchRecord& record : records) {
        hours += record.runTimes.size();
        if (srumDetails(record)->appId == 677 && srumDetails(record)->userId == 518) {
            edge = &record;
        }
    }
    EXPECT_EQ(hours, 660u);
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->name, L"msedge.exe");
    EXPECT_EQ(edge->runTimes,
              (std::vector<FileTime>{utc(2022, 7, 3, 2, 6), utc(2022, 5, 28, 19, 59)}))
        << "the exporter shows 02:06:00.000000125: the double's noise, not a time";
}

TEST(SrumDatabase, AHeaderWrongBothWaysAndDamagedDatabasesAreRefusedOrCounted) {
    TIDEWELL_REQUIRE_CORPUS(srumFolder);
    std::vector<std::uint8_t> wrong = database("Win11_RathbunVM_Dirty");
    wrong[2000] ^= 0x40; // past the first 668 bytes: the whole-page sum no longer agrees
    EXPECT_EQ(readEseHeader(ByteView{wrong.data(), wrong.size()}).checksum, EseChecksum::Wrong);
    const std::vector<std::uint8_t> kept = wrong;
    const SrumTables refused = readSrumTables(wrong);
    EXPECT_EQ(refused.open, SrumOpen::Refused);
    EXPECT_NE(refused.why.find(L"checksum"), std::wstring::npos)
        << std::string(refused.why.begin(), refused.why.end());
    EXPECT_EQ(wrong, kept) << "a header wrong both ways is handed on as it is";

    std::vector<std::uint8_t> noise(65536, 0x5a);
    EXPECT_EQ(readSrumTables(noise).open, SrumOpen::Refused);
    std::vector<std::uint8_t> nothing;
    EXPECT_EQ(readSrumTables(nothing).open, SrumOpen::Refused);

    // Cut short: whatever the library still finds, not every row is there.
    const std::vector<std::uint8_t> whole = database("Win10_RathbunVM_Clean");
    for (std::size_t keep : {std::size_t{8192}, std::size_t{65536}, whole.size() / 2}) {
        std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(keep));
        const SrumTables tables = readSrumTables(cut);
        if (tables.open == SrumOpen::Opened) {
            EXPECT_TRUE(tables.usage.size() < 118 || tables.network.size() < 23 ||
                        tables.ids.size() < 288)
                << keep;
        }
    }
}

TEST(SrumDatabase, ADatabaseTheLibraryMisreadsIsReadInAProcessOfItsOwn) {
    TIDEWELL_REQUIRE_CORPUS(srumFolder);
    // One byte of a catalog definition's sizes changed (found by fuzzing):
    // the library then copies some 31,000 bytes from past the end of a
    // 4,096-byte page buffer.
    std::vector<std::uint8_t> bytes = database("Win10_RathbunVM_Clean");
    ASSERT_EQ(bytes[178244], 0);
    bytes[178244] = 0x79;
    // Where the stray read finds memory it gives garbage and the answer
    // comes back; under the address sanitizer (the native-asan tests) the
    // reading process is stopped, and this one carries on either way.
    const SrumTables tables = readSrumTables(bytes);
    if (tables.open != SrumOpen::Opened) {
        EXPECT_EQ(tables.why, L"the reading process ended without an answer");
    }
    // And the same file whole is still read in full afterwards.
    const SrumTables whole = readSrumTables(database("Win10_RathbunVM_Clean"));
    ASSERT_EQ(whole.open, SrumOpen::Opened);
    EXPECT_EQ(whole.usage.size(), 118u);
}

// A copy of a drive with SYSTEM, SOFTWARE and the database where Windows
// keeps it.
void writeDrive(const std::filesystem::path& root, const std::vector<std::uint8_t>& srum) {
    sample::writeEvidenceFile(root, "Windows/System32/config/SOFTWARE",
                              sample::writeHive(sample::softwareHive({})));
    sample::writeEvidenceFile(root, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root, "Windows/Prefetch/.keep", {});
    if (!srum.empty()) {
        sample::writeEvidenceFile(root, "Windows/System32/sru/SRUDB.dat", srum);
    }
}

TEST(SrumEvidence, ADirtyDatabaseIsReadAsItStandsAndSaidToBeDirty) {
    TIDEWELL_REQUIRE_CORPUS(srumFolder);
    testing::TempFolder root;
    writeDrive(root.path, database("Win11_RathbunVM_Dirty"));
    const ScanResults results = testing::scanEvidence(root.path);
    const SourceReading reading = readingOf(results.origin, srumSource);
    EXPECT_EQ(reading.presence, SourcePresence::Read);
    EXPECT_EQ(reading.note, L"application usage and network usage read");
    EXPECT_EQ(results.tally[srumDirty], 1u);
    EXPECT_EQ(results.tally[srumHeaderSummedWhole], 1u);
    EXPECT_EQ(results.tally[srumUsageRowsRead], 662u);
    EXPECT_EQ(results.tally[srumNetworkRowsRead], 143u);
    EXPECT_EQ(results.tally[srumUnreadable], 0u);
    const std::vector<const LaunchRecord*> srum = testing::recordsOf(results, srumSource);
    ASSERT_EQ(srum.size(), 415u);
    const LaunchRecord* edge = nullptr;
    for (const LaunchRecord* record : srum) {
        if (srumDetails(*record)->appId == 677 && srumDetails(*record)->userId == 518) {
            edge = record;
        }
    }
    ASSERT_NE(edge, nullptr);
    EXPECT_NE(edge->recordFile.find(L"SRUDB.dat"), std::wstring::npos);
    EXPECT_FALSE(edge->userSid.empty());

    DetailContext context;
    context.evidence = true;
    const std::wstring detail = buildDetailText(*edge, context);
    EXPECT_NE(detail.find(L"Recorded times (SRUM: in use during the hour ending):"),
              std::wstring::npos);
    EXPECT_NE(detail.find(L"Program id:        677 (a path)"), std::wstring::npos);
    EXPECT_EQ(detail.find(L"Recorded run times"), std::wstring::npos) << "its times are no runs";
}

TEST(SrumEvidence, NoDatabaseIsNotPresentAndABrokenOneIsUnreadable) {
    testing::TempFolder none;
    writeDrive(none.path, {});
    const ScanResults without = testing::scanEvidence(none.path);
    EXPECT_EQ(readingOf(without.origin, srumSource).presence, SourcePresence::NotPresent);
    EXPECT_EQ(without.tally[srumUnreadable], 0u);

    testing::TempFolder broken;
    writeDrive(broken.path, std::vector<std::uint8_t>(8192, 0x11));
    const ScanResults notEse = testing::scanEvidence(broken.path);
    const SourceReading reading = readingOf(notEse.origin, srumSource);
    EXPECT_EQ(reading.presence, SourcePresence::Unreadable);
    EXPECT_EQ(reading.note, L"not an ESE database");
    EXPECT_EQ(notEse.tally[srumUnreadable], 1u);
    EXPECT_TRUE(testing::recordsOf(notEse, srumSource).empty());
}

} // namespace
} // namespace tidewell
