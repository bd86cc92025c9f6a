// The report reaches its destination whole or not at all: every failure of
// the commit leaves the destination as it was and no temporary file behind.
#include "report/report_commit.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "platform/error_codes.h"
#include "prefetch/prefetch_source.h"
#include "support/origins.h"
#include "support/temp_folder.h"

namespace tidewell {
namespace {

using testing::TempFolder;

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

RecordList someRecords(std::size_t count) {
    RecordList records(count, makeRecord(prefetchSource));
    for (std::size_t i = 0; i < count; ++i) {
        records[i].name = L"PROGRAM" + std::to_wstring(i) + L".EXE";
    }
    return records;
}

const ScanOrigin thisMachine = testing::thisMachineOrigin(L"");

class ReportCommit : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        folder.writeFile("report.csv", {'o', 'l', 'd'});
    }
    void TearDown() override { fake::resetAll(); }

    TempFolder folder;
    std::wstring destination = folder.text() + L"\\report.csv";

    bool write(std::size_t records = 3) {
        return writeReport(destination, someRecords(records), ScanTally{}, ScanFacts{},
                           thisMachine);
    }
    void expectUntouched() {
        EXPECT_EQ(contents(folder.path / "report.csv"), "old");
        EXPECT_EQ(namesIn(folder.path), std::vector<std::string>{"report.csv"});
    }
};

TEST_F(ReportCommit, ASuccessReplacesTheDestinationWholeAndLeavesNothingElse) {
    ASSERT_TRUE(write());
    const std::string written = contents(folder.path / "report.csv");
    EXPECT_EQ(written.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(namesIn(folder.path), std::vector<std::string>{"report.csv"});
    // A new name gets exactly one file.
    ASSERT_TRUE(
        writeReport(folder.text() + L"\\new.csv", {}, ScanTally{}, ScanFacts{}, thisMachine));
    EXPECT_EQ(namesIn(folder.path), (std::vector<std::string>{"new.csv", "report.csv"}));
}

TEST_F(ReportCommit, EveryFailureLeavesTheDestinationAsItWas) {
    struct Case {
        const char* what;
        fake::WriteFailures failures;
    };
    const Case cases[] = {
        {"creation refused", {ERROR_ACCESS_DENIED}}, {"the one write fails", {0, 1}},
        {"the one write is short", {0, 0, 1}},       {"flush failed", {0, 0, 0, true}},
        {"move failed", {0, 0, 0, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake::setWriteFailures(c.failures);
        EXPECT_FALSE(write(3));
        expectUntouched();
    }
}

TEST_F(ReportCommit, ALargeReportTakesAFewWritesAndAnyOfThemFailingFailsTheWhole) {
    // 3,000 records, some 300 KB: written in pieces, not a write a record.
    long writes = 0;
    for (long failing = 1; failing < 3000; ++failing) {
        fake::setWriteFailures({0, failing});
        if (write(3000)) {
            writes = failing - 1;
            folder.writeFile("report.csv", {'o', 'l', 'd'});
            break;
        }
        expectUntouched();
    }
    EXPECT_GE(writes, 3) << "more than one buffer's worth";
    EXPECT_LE(writes, 12) << "about 64 KiB a write";
    for (long shortWrite : {1L, writes}) {
        SCOPED_TRACE(shortWrite);
        fake::setWriteFailures({0, 0, shortWrite});
        EXPECT_FALSE(write(3000));
        expectUntouched();
    }
    fake::resetAll();
    ASSERT_TRUE(write(3000));
    const std::string written = contents(folder.path / "report.csv");
    std::string last; // as UTF-16LE
    for (const char letter : std::string("PROGRAM2999.EXE")) {
        last += letter;
        last += '\0';
    }
    EXPECT_NE(written.find(last), std::string::npos) << "the last record is there";
}

TEST_F(ReportCommit, TheMachineReadableFormsCommitTheSameWay) {
    RecordList records = someRecords(3);
    for (LaunchRecord& record : records) {
        record.runTimes = {133500000000000000ULL, 133400000000000000ULL};
    }
    for (const ReportFormat format : {ReportFormat::Json, ReportFormat::Timeline}) {
        const ReportOptions options{format, TimeBasis::Local};
        // Small enough for one write, the whole of it.
        const long lastWrite = 1;
        for (const fake::WriteFailures& failures :
             {fake::WriteFailures{0, 1}, fake::WriteFailures{0, 0, lastWrite},
              fake::WriteFailures{0, 0, 0, true}, fake::WriteFailures{0, 0, 0, false, true}}) {
            SCOPED_TRACE(format == ReportFormat::Json ? "json" : "timeline");
            fake::setWriteFailures(failures);
            EXPECT_FALSE(
                writeReport(destination, records, ScanTally{}, ScanFacts{}, thisMachine, options));
            expectUntouched();
        }
        fake::resetAll();
        ASSERT_TRUE(
            writeReport(destination, records, ScanTally{}, ScanFacts{}, thisMachine, options));
        const std::string written = contents(folder.path / "report.csv");
        // UTF-8 without a byte-order mark, whole to its last line end.
        EXPECT_EQ(written.front(), '{');
        EXPECT_EQ(written.back(), '\n');
        if (format == ReportFormat::Json) {
            EXPECT_NE(written.find("\n],\"programs\":["), std::string::npos);
            EXPECT_EQ(written.substr(written.size() - 3), "}}\n");
        } else {
            EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 6) << "two runs each";
        }
        EXPECT_EQ(namesIn(folder.path), std::vector<std::string>{"report.csv"});
        folder.writeFile("report.csv", {'o', 'l', 'd'});
    }
}

TEST_F(ReportCommit, TakenTemporaryNamesAreSkippedAndLeftAlone) {
    folder.writeFile("report.csv.partial0", {'a'});
    folder.writeFile("report.csv.partial1", {'b'});
    // The third name is the one used: fail the move so that it stays visible.
    fake::WriteFailures failures;
    failures.moveFails = true;
    fake::setWriteFailures(failures);
    EXPECT_FALSE(write());
    EXPECT_EQ(contents(folder.path / "report.csv.partial0"), "a");
    EXPECT_EQ(contents(folder.path / "report.csv.partial1"), "b");
    fake::resetAll();
    ASSERT_TRUE(write());
    EXPECT_EQ(namesIn(folder.path), (std::vector<std::string>{"report.csv", "report.csv.partial0",
                                                              "report.csv.partial1"}));
}

TEST_F(ReportCommit, AllFiveHundredTwelveNamesTakenCreatesNothing) {
    for (int i = 0; i < 512; ++i) {
        folder.writeFile("report.csv.partial" + std::to_string(i), {});
    }
    EXPECT_FALSE(write());
    EXPECT_EQ(namesIn(folder.path).size(), 513u);
    EXPECT_EQ(contents(folder.path / "report.csv"), "old");

    std::filesystem::remove(folder.path / "report.csv.partial511");
    EXPECT_TRUE(write()) << "the 512th name is still tried";
}

TEST_F(ReportCommit, AMissingFolderFailsWithoutCreatingIt) {
    EXPECT_FALSE(writeReport(folder.text() + L"\\absent\\report.csv", {}, ScanTally{}, ScanFacts{},
                             thisMachine));
    EXPECT_FALSE(std::filesystem::exists(folder.path / "absent"));
}

} // namespace
} // namespace tidewell
