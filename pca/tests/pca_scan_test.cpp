// The real files of a Windows 11 machine, and whole scans of a copy of a
// drive that holds them, written ones, or none.
#include <gtest/gtest.h>

#include "core/scan_counters.h"
#include "fake/fake_machine.h"
#include "pca/pca_counters.h"
#include "pca/pca_details.h"
#include "pca/pca_source.h"
#include "pca/pca_text.h"
#include "pca/sample/pca_files.h"
#include "platform/error_codes.h"
#include "platform/system_clock.h"
#include "sample/evidence_tree.h"
#include "sample/hive_writer.h"
#include "support/scans.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

const std::string pcaFolder = "sources/pca/DFIRArtifactMuseum";
const char dictionaryName[] = "PcaAppLaunchDic.txt";
const char databaseName[] = "PcaGeneralDb0.txt";

std::vector<std::uint8_t> corpusFile(const char* name) {
    return testing::readWholeFile(testing::corpusRoot() / pcaFolder / name);
}

void writeDrive(const std::filesystem::path& root) {
    sample::writeEvidenceFile(root, "Windows/System32/config/SOFTWARE",
                              sample::writeHive(sample::softwareHive({})));
    sample::writeEvidenceFile(root, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root, "Windows/Prefetch/.keep", {});
}

TEST(PcaCorpus, TheRealFilesReadWholeInTheirOwnEncodings) {
    TIDEWELL_REQUIRE_CORPUS(pcaFolder);
    const FileTime now = currentSystemFileTime();
    const PcaFileRead dictionary =
        readPcaFile(PcaFileKind::LaunchDictionary, corpusFile(dictionaryName), now);
    EXPECT_EQ(dictionary.encoding, PcaEncoding::SingleByte);
    EXPECT_EQ(dictionary.linesRead, 55u);
    EXPECT_EQ(dictionary.linesMalformed, 0u);
    EXPECT_EQ(dictionary.timesMalformed, 0u);
    ASSERT_EQ(dictionary.lines.size(), 55u);
    EXPECT_EQ(dictionary.lines[2].path, L"C:\\Program Files\\Everything\\Everything.exe");
    EXPECT_EQ(dictionary.lines[2].recordedTime, L"2022-12-28 16:06:24.212");
    // Not in time order: the file keeps each program's line where it stands.
    EXPECT_GT(dictionary.lines[2].time, dictionary.lines[3].time);

    const PcaFileRead database =
        readPcaFile(PcaFileKind::GeneralDatabase, corpusFile(databaseName), now);
    EXPECT_EQ(database.encoding, PcaEncoding::Utf16le);
    EXPECT_EQ(database.linesRead, 51u);
    EXPECT_EQ(database.linesMalformed, 0u);
    EXPECT_EQ(database.timesMalformed, 0u);
    ASSERT_EQ(database.lines.size(), 51u);
    for (const PcaLine& line : database.lines) {
        EXPECT_EQ(line.recordType, L"2");
        EXPECT_TRUE(line.exitText.starts_with(L"Abnormal process exit with code 0x"))
            << testing::narrow(line.exitText);
        EXPECT_EQ(line.programId.size(), 44u);
    }
    EXPECT_EQ(database.lines[10].path, L"%USERPROFILE%\\appdata\\local\\githubdesktop\\app-2.9.9"
                                       L"\\resources\\app\\git\\cmd\\git.exe");
    EXPECT_EQ(database.lines[10].version, L"2.32.0.windows.2");
}

TEST(PcaEvidence, ADrivesFilesGiveRecordsCountedAndDescribed) {
    TIDEWELL_REQUIRE_CORPUS(pcaFolder);
    testing::TempFolder root;
    writeDrive(root.path);
    sample::writeEvidenceFile(root.path, "Windows/appcompat/pca/PcaAppLaunchDic.txt",
                              corpusFile(dictionaryName));
    sample::writeEvidenceFile(root.path, "Windows/appcompat/pca/pcageneraldb0.TXT",
                              corpusFile(databaseName));
    const ScanResults results = testing::scanEvidence(root.path);
    const SourceReading reading = readingOf(results.origin, pcaSource);
    EXPECT_EQ(reading.presence, SourcePresence::Read);
    EXPECT_EQ(reading.note, L"PcaAppLaunchDic.txt: 55 lines (single-byte text); "
                            L"PcaGeneralDb0.txt: 51 lines (UTF-16LE without a byte-order mark); "
                            L"PcaGeneralDb1.txt: not present");
    EXPECT_EQ(results.tally[pcaLinesRead], 106u);
    EXPECT_EQ(results.tally[pcaFilesUnreadable], 0u);
    EXPECT_EQ(results.tally[pcaPathsNotPlaced], 41u); // %USERPROFILE%: the line says not whose
    const std::vector<const LaunchRecord*> records = testing::recordsOf(results, pcaSource);
    ASSERT_EQ(records.size(), 106u);
    std::size_t expanded = 0;
    for (const LaunchRecord* record : records) {
        const PcaDetails& details = *pcaDetails(*record);
        if (details.line.path.starts_with(L"%programfiles%")) {
            EXPECT_EQ(record->pathStatus, PathStatus::Resolved);
            EXPECT_TRUE(record->path.starts_with(L"C:\\Program Files\\"));
            ++expanded;
        }
    }
    EXPECT_EQ(expanded, 10u);
    const LaunchRecord* everything = testing::recordNamed(records, L"Everything.exe");
    ASSERT_NE(everything, nullptr);
    DetailContext context;
    context.evidence = true;
    context.times = TimeBasis::Utc;
    const std::wstring detail = buildDetailText(*everything, context);
    EXPECT_NE(detail.find(L"File:              PcaAppLaunchDic.txt, line 3\r\n"),
              std::wstring::npos)
        << testing::narrow(detail);
    EXPECT_NE(detail.find(L"    2022-12-28 16:06:24"), std::wstring::npos);
}

TEST(PcaEvidence, NoFilesAreNotPresentAndDamagedLinesAreCounted) {
    testing::TempFolder none;
    writeDrive(none.path);
    const ScanResults without = testing::scanEvidence(none.path);
    EXPECT_EQ(readingOf(without.origin, pcaSource).presence, SourcePresence::NotPresent);
    EXPECT_EQ(readingOf(without.origin, pcaSource).note, L"");
    EXPECT_TRUE(testing::recordsOf(without, pcaSource).empty());

    testing::TempFolder damaged;
    writeDrive(damaged.path);
    std::vector<std::uint8_t> bytes =
        sample::pcaLaunchDictionary({{L"C:\\ok.exe", L"2022-12-17 13:27:53.096"},
                                     {L"C:\\late.exe", L"2999-01-01 00:00:00.000"}});
    for (char c : std::string("\nthe rest was lost")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    sample::writeEvidenceFile(damaged.path, "Windows/appcompat/pca/PcaAppLaunchDic.txt", bytes);
    const ScanResults results = testing::scanEvidence(damaged.path);
    EXPECT_EQ(readingOf(results.origin, pcaSource).presence, SourcePresence::Read);
    EXPECT_EQ(results.tally[pcaLinesRead], 3u);
    EXPECT_EQ(results.tally[pcaLinesMalformed], 1u);
    EXPECT_EQ(results.tally[pcaTimesMalformed], 1u);
    EXPECT_TRUE(results.anyFailure);
    const std::vector<const LaunchRecord*> records = testing::recordsOf(results, pcaSource);
    ASSERT_EQ(records.size(), 2u);
    const LaunchRecord* late = testing::recordNamed(records, L"late.exe");
    ASSERT_NE(late, nullptr);
    EXPECT_TRUE(late->runTimes.empty());
    EXPECT_NE(buildDetailText(*late, DetailContext{})
                  .find(L"Recorded time:     2999-01-01 00:00:00.000  \u2014 not a possible date"),
              std::wstring::npos);
}

// This machine's own files (the test double's): read from its Windows
// folder, its variables from its own registry; a file that will not open is
// counted with why, and the others are still read.
TEST(PcaThisMachine, ItsOwnFilesAreReadAndOneThatWillNotOpenIsCounted) {
    fake::resetAll();
    fake::setRegistryValue(RegistryRoot::LocalMachine,
                           L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir", 1,
                           sample::registryText(L"D:\\Apps"));
    testing::TempFolder windows;
    fake::setWindowsDirectory(windows.text());
    sample::writeEvidenceFile(
        windows.path, "appcompat/pca/PcaGeneralDb0.txt",
        sample::pcaGeneralDatabase({{L"2022-05-12 19:48:09.548", L"2", L"%programfiles%\\a\\a.exe",
                                     L"a", L"maker", L"1", L"0006", L"exit"}}));
    sample::writeEvidenceFile(
        windows.path, "appcompat/pca/PcaAppLaunchDic.txt",
        sample::pcaLaunchDictionary({{L"C:\\b.exe", L"2022-12-17 13:27:53.096"}}));
    fake::failFile(windows.text() + L"\\appcompat\\pca\\PcaAppLaunchDic.txt",
                   fake::FileFailure{ERROR_ACCESS_DENIED});
    const ScanResults results = testing::scanThisMachine();
    fake::resetAll();
    const SourceReading reading = readingOf(results.origin, pcaSource);
    EXPECT_EQ(reading.presence, SourcePresence::Read);
    EXPECT_EQ(reading.note.rfind(L"PcaAppLaunchDic.txt: could not be read (", 0), 0u)
        << testing::narrow(reading.note);
    EXPECT_EQ(results.tally[pcaFilesUnreadable], 1u);
    EXPECT_TRUE(results.anyFailure);
    const std::vector<const LaunchRecord*> records = testing::recordsOf(results, pcaSource);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->path, L"D:\\Apps\\a\\a.exe");
}

} // namespace
} // namespace tidewell
