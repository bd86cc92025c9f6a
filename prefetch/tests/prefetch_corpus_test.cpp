// Real Prefetch files written by Windows XP to 11: every plain one parses, and
// what the parser reads agrees with the file it came from.
#include <string>

#include <gtest/gtest.h>

#include "support/record_details.h"

#include "platform/system_clock.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_parser.h"
#include "prefetch/tests/prefetch_consistency.h"
#include "support/corpus_files.h"
#include "support/tally_checks.h"

namespace tidewell {
namespace {

using testing::corpusFiles;
using testing::narrow;
using testing::readWholeFile;

bool isCompressedContainer(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 3 && bytes[0] == 'M' && bytes[1] == 'A' && bytes[2] == 'M';
}

struct Parsed {
    bool accepted = false;
    LaunchRecord record;
    ScanTally tally;
};

Parsed parseFile(const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = readWholeFile(file);
    Parsed parsed;
    parsed.accepted = parsePrefetch(bytes.data(), bytes.size(), testing::wideFileName(file),
                                    parsed.record, parsed.tally);
    return parsed;
}

std::filesystem::path corpusFile(const std::string& relative) {
    return testing::corpusRoot() / "prefetch" / relative;
}

TEST(PrefetchCorpus, EveryPlainFileAgreesWithItsOwnName) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    const FileTime now = currentSystemFileTime();
    int plainFiles = 0;
    for (const auto& file : corpusFiles("prefetch")) {
        const std::vector<std::uint8_t> bytes = readWholeFile(file);
        if (isCompressedContainer(bytes) || file.parent_path().filename() == "Bad") {
            continue;
        }
        ++plainFiles;
        SCOPED_TRACE(file.string());
        const Parsed parsed = parseFile(file);
        ASSERT_TRUE(parsed.accepted);
        EXPECT_EQ(parsed.tally[prefetchParsed], 1u);
        EXPECT_EQ(parsed.tally[prefetchMalformed] + parsed.tally[prefetchUnknownVersion], 0u);
        const LaunchRecord& record = parsed.record;

        testing::expectConsistentWithFile(record, file, now);
        EXPECT_EQ(testing::prefetchOf(record).formatVersion, static_cast<std::uint32_t>(bytes[0]));
        EXPECT_EQ(record.recordFile, testing::wideFileName(file));
    }
    EXPECT_GE(plainFiles, 20);
}

TEST(PrefetchCorpus, VersionSeventeenRunTimesAreReadFromTheirRealPlace) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    // Values read by hand from the files' bytes.
    const Parsed calc = parseFile(corpusFile("EZ-Prefetch/XPPro/CALC.EXE-02CD573A.pf"));
    ASSERT_TRUE(calc.accepted);
    EXPECT_EQ(testing::prefetchOf(calc.record).formatVersion, 17u);
    EXPECT_EQ(calc.record.runTimes, std::vector<FileTime>{0x01D14E4E90B773D4ULL});
    EXPECT_TRUE(calc.record.runCountKnown);
    EXPECT_EQ(calc.record.runCount, 3u);
    EXPECT_EQ(calc.record.name, L"CALC.EXE");

    for (const char* other :
         {"EZ-Prefetch/XPPro/MSMSGS.EXE-2B6052DE.pf", "EZ-Prefetch/Win2k3/CMD.EXE-087B4001.pf",
          "plaso/CMD.EXE-087B4001.pf"}) {
        const Parsed parsed = parseFile(corpusFile(other));
        ASSERT_TRUE(parsed.accepted) << other;
        EXPECT_EQ(testing::prefetchOf(parsed.record).formatVersion, 17u);
        EXPECT_EQ(parsed.record.runTimes.size(), 1u) << other;
    }
}

TEST(PrefetchCorpus, AVersion23FileGivesItsRecordedFigures) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    const Parsed calc = parseFile(corpusFile("EZ-Prefetch/Win7/CALC.EXE-77FDF17F.pf"));
    ASSERT_TRUE(calc.accepted);
    EXPECT_EQ(calc.record.runTimes, std::vector<FileTime>{0x01D1509C41599E0CULL});
    EXPECT_EQ(calc.record.runCount, 2u);
    EXPECT_EQ(testing::prefetchOf(calc.record).pathHash, 0x77FDF17Fu);
}

TEST(PrefetchCorpus, TheThirteenByteFileIsNoPrefetchImage) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    const auto file = corpusFile("EZ-Prefetch/Bad/notAPrefetch.pf");
    const std::vector<std::uint8_t> bytes = readWholeFile(file);
    ASSERT_EQ(bytes.size(), 13u);
    const Parsed parsed = parseFile(file);
    EXPECT_FALSE(parsed.accepted);
    EXPECT_EQ(parsed.tally[prefetchMalformed], 1u);
    EXPECT_EQ(testing::sumOfAllCounters(parsed.tally), 1u);
}

TEST(PrefetchCorpus, AWindows7FileNamesItsVolumeAndFourShadowCopiesOfIt) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    const Parsed parsed = parseFile(corpusFile("plaso/WUAUCLT.EXE-830BCC14.pf"));
    ASSERT_TRUE(parsed.accepted);
    const std::vector<std::wstring> devices = {
        L"\\DEVICE\\HARDDISKVOLUME1", L"\\DEVICE\\HARDDISKVOLUMESHADOWCOPY2",
        L"\\DEVICE\\HARDDISKVOLUMESHADOWCOPY4", L"\\DEVICE\\HARDDISKVOLUMESHADOWCOPY7",
        L"\\DEVICE\\HARDDISKVOLUMESHADOWCOPY8"};
    ASSERT_EQ(testing::prefetchOf(parsed.record).volumes.size(), devices.size());
    for (std::size_t i = 0; i < devices.size(); ++i) {
        EXPECT_EQ(testing::prefetchOf(parsed.record).volumes[i].devicePath, devices[i]);
        // A shadow copy carries the serial and creation time of its volume.
        EXPECT_EQ(testing::prefetchOf(parsed.record).volumes[i].serial, 0xAC036525u);
        EXPECT_EQ(testing::prefetchOf(parsed.record).volumes[i].created, 129338842464843750ULL);
    }
    EXPECT_TRUE(testing::prefetchOf(parsed.record).recordedPath.empty())
        << "Windows 7 records no program path";
}

TEST(PrefetchCorpus, Windows11RecordsTheProgramsPathOrItsPackage) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    const std::string folder = "DFIRArtifactMuseum/Win11-SutharPC-v31-decompressed/";
    const std::pair<const char*, const wchar_t*> recorded[] = {
        {"MSEDGE.EXE-B59487CD.pf",
         L"\\DEVICE\\HARDDISKVOLUME5\\PROGRAM FILES (X86)\\MICROSOFT\\EDGE\\APPLICATION\\"
         L"MSEDGE.EXE"},
        {"NOTEPAD.EXE-61F9C595.pf", L"Microsoft.WindowsNotepad_11.2312.18.0_x64__8wekyb3d8bbwe"},
        {"CHCP.COM-C4E4B386.pf", L"\\DEVICE\\HARDDISKVOLUME5\\WINDOWS\\SYSTEM32\\CHCP.COM"},
    };
    for (const auto& [file, path] : recorded) {
        const Parsed parsed = parseFile(corpusFile(folder + file));
        ASSERT_TRUE(parsed.accepted) << file;
        EXPECT_EQ(testing::prefetchOf(parsed.record).recordedPath, path) << file;
    }
}

} // namespace
} // namespace tidewell
