// Real compressed Prefetch files from Windows 10 and 11: each unpacks to
// exactly its declared size, and the image parses into a record that agrees
// with the file's name.
#include <gtest/gtest.h>

#include "support/record_details.h"

#include "platform/byte_reader.h"
#include "platform/system_clock.h"
#include "prefetch/mam_container.h"
#include "prefetch/prefetch_parser.h"
#include "prefetch/tests/prefetch_consistency.h"
#include "support/corpus_files.h"

namespace tidewell {
namespace {

using testing::corpusFiles;
using testing::readWholeFile;

TEST(CompressedCorpus, EveryContainerUnpacksAndParses) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    const FileTime now = currentSystemFileTime();
    int containers = 0;
    for (const auto& file : corpusFiles("prefetch")) {
        const std::vector<std::uint8_t> bytes = readWholeFile(file);
        if (bytes.size() < 8 || bytes[0] != 'M' || bytes[1] != 'A' || bytes[2] != 'M') {
            continue;
        }
        ++containers;
        SCOPED_TRACE(file.string());
        std::uint32_t declared = 0;
        ByteView{bytes.data(), bytes.size()}.readU32(4, declared);
        std::vector<std::uint8_t> image;
        ASSERT_TRUE(decompressMam(bytes.data(), bytes.size(), image));
        ASSERT_EQ(image.size(), declared);

        LaunchRecord record;
        ScanTally tally;
        ASSERT_TRUE(parsePrefetch(image.data(), image.size(), L"x", record, tally));
        EXPECT_TRUE(testing::prefetchOf(record).formatVersion == 30 ||
                    testing::prefetchOf(record).formatVersion == 31);
        testing::expectConsistentWithFile(record, file, now);
        EXPECT_TRUE(record.runCountKnown) << "both version 30 layouts settle their count";
    }
    EXPECT_GE(containers, 25);
}

TEST(CompressedCorpus, AFileWithTheLongestLengthFormUnpacks) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    // Windows 10 files use the 32-bit match length; this one is a large image.
    const auto bytes =
        readWholeFile(testing::corpusRoot() / "prefetch/plaso/BYTECODEGENERATOR.EXE-C1E9BCE6.pf");
    std::vector<std::uint8_t> image;
    ASSERT_TRUE(decompressMam(bytes.data(), bytes.size(), image));
    EXPECT_EQ(image.size(), 603246u);
    EXPECT_EQ(image[4], 'S');
    EXPECT_EQ(image[7], 'A');
}

TEST(CompressedCorpus, OnlyTheSecondVersion30LayoutRecordsTheProgramsPath) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    // Two files of the first layout (metrics at 304) and two of the second,
    // one of which leaves padding that is not zero behind its path's NUL.
    const std::pair<const char*, const wchar_t*> files[] = {
        {"EZ-Prefetch/Win10/CALC.EXE-3FBEF7FD.pf", L""},
        {"DFIRArtifactMuseum/Win10-Belkasoft-1809-MAM/RELPOST.EXE-D1F65AB5.pf", L""},
        {"DFIRArtifactMuseum/Win10-APTSimulatorVM-MAM/PING.EXE-4A8A6853.pf",
         L"\\DEVICE\\HARDDISKVOLUME3\\WINDOWS\\SYSTEM32\\PING.EXE"},
        {"frnsc-prefetch/CMD.EXE-6D6290C5.pf",
         L"\\DEVICE\\HARDDISKVOLUME3\\WINDOWS\\SYSWOW64\\CMD.EXE"},
        {"DFIRArtifactMuseum/Win11-RathbunVM-MAM/Op-MSEDGE.EXE-37D25F9A-00000001.pf", L""},
    };
    for (const auto& [file, path] : files) {
        const auto bytes = readWholeFile(testing::corpusRoot() / "prefetch" / file);
        std::vector<std::uint8_t> image;
        ASSERT_TRUE(decompressMam(bytes.data(), bytes.size(), image)) << file;
        LaunchRecord record;
        ScanTally tally;
        ASSERT_TRUE(parsePrefetch(image.data(), image.size(), L"x", record, tally)) << file;
        EXPECT_EQ(testing::prefetchOf(record).recordedPath, path) << file;
    }
}

} // namespace
} // namespace tidewell
