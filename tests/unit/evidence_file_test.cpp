// The file a scan is given, opened once and read at any offset in any order
// (the libraries reading an image or a zip jump about in it), in both builds.
#include "machine/evidence_file.h"

#include <gtest/gtest.h>

#include "platform/error_codes.h"
#include "support/temp_folder.h"

namespace tidewell {
namespace {

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i % 251);
    }
    return bytes;
}

TEST(EvidenceFile, ReadsAtAnyOffsetInAnyOrderAndStopsAtTheEnd) {
    testing::TempFolder folder;
    const std::vector<std::uint8_t> written = pattern(3000);
    folder.writeFile("image.raw", written);
    const EvidenceFileHandle evidence = openEvidenceFile(folder.text() + L"\\image.raw");
    ASSERT_TRUE(evidenceOpen(*evidence));
    EXPECT_EQ(evidence->size, 3000u);

    std::vector<std::uint8_t> bytes(200);
    std::size_t got = 0;
    // Backwards: no read depends on where the one before it left off.
    for (const std::uint64_t offset : {2000u, 1000u, 0u}) {
        ASSERT_TRUE(readEvidenceAt(*evidence, offset, bytes.data(), bytes.size(), got));
        ASSERT_EQ(got, bytes.size());
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), written.begin() + offset)) << offset;
    }
    // Across the end: what there is; at or past it: nothing, and no failure.
    ASSERT_TRUE(readEvidenceAt(*evidence, 2950, bytes.data(), bytes.size(), got));
    EXPECT_EQ(got, 50u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 50, written.begin() + 2950));
    for (const std::uint64_t offset : {3000ull, 5000ull, 1ull << 62}) {
        EXPECT_TRUE(readEvidenceAt(*evidence, offset, bytes.data(), bytes.size(), got)) << offset;
        EXPECT_EQ(got, 0u) << offset;
    }
    std::vector<std::uint8_t> whole(4000);
    ASSERT_TRUE(readEvidenceAt(*evidence, 0, whole.data(), whole.size(), got));
    EXPECT_EQ(got, 3000u);
    whole.resize(got);
    EXPECT_EQ(whole, written);
}

TEST(EvidenceFile, AFileThatCannotBeOpenedSaysWhyAndReadsNothing) {
    testing::TempFolder folder;
    const EvidenceFileHandle evidence = openEvidenceFile(folder.text() + L"\\absent.E01");
    EXPECT_FALSE(evidenceOpen(*evidence));
    EXPECT_EQ(evidence->openError, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(openFailureText(evidence->openError), L"there is no such file");
    std::uint8_t byte = 0;
    std::size_t got = 1;
    EXPECT_FALSE(readEvidenceAt(*evidence, 0, &byte, 1, got));
    EXPECT_EQ(got, 0u);
    EXPECT_FALSE(startsAsZip(*evidence));
    EXPECT_EQ(openFailureText(ERROR_ACCESS_DENIED), L"access was denied");
    EXPECT_EQ(openFailureText(1117), L"system error 1117");
}

TEST(EvidenceFile, AZipIsKnownByItsFirstFourBytes) {
    testing::TempFolder folder;
    const auto startsAs = [&](const std::vector<std::uint8_t>& bytes) {
        folder.writeFile("file", bytes);
        return startsAsZip(*openEvidenceFile(folder.text() + L"\\file"));
    };
    EXPECT_TRUE(startsAs({'P', 'K', 3, 4, 20, 0}));     // a member first
    EXPECT_TRUE(startsAs({'P', 'K', 5, 6, 0, 0}));      // empty: its end first
    EXPECT_FALSE(startsAs({'P', 'K', 1, 2, 0, 0}));     // a central directory entry is no start
    EXPECT_FALSE(startsAs({'P', 'K', 3}));              // too short to tell
    EXPECT_FALSE(startsAs({'E', 'V', 'F', 9, 13, 10})); // an E01
    EXPECT_FALSE(startsAs({}));
}

} // namespace
} // namespace tidewell
