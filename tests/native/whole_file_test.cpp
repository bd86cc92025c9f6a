// Whole files read in pieces up to a limit, and a hive file above the 2 GiB
// the hive reader holds, refused unread.
#include "platform/whole_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/scan_counters.h"
#include "fake/fake_machine.h"
#include "hive/hive_load.h"
#include "prefetch/prefetch_setup.h"
#include "sample/evidence_tree.h"
#include "scan/scan_driver.h"
#include "support/temp_folder.h"

namespace tidewell {
namespace {

TEST(WholeFile, ReadMissingTooLargeAndUnreadable) {
    fake::resetAll();
    testing::TempFolder folder;
    folder.writeFile("small", {1, 2, 3});
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(readWholeFileUpTo(folder.text() + L"\\small", 3, bytes), WholeFileRead::Read);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(readWholeFileUpTo(folder.text() + L"\\small", 2, bytes), WholeFileRead::TooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(readWholeFileUpTo(folder.text() + L"\\absent", 10, bytes), WholeFileRead::Missing);
    fake::failFile(folder.text() + L"\\small", {0, false, false, true}); // one byte short
    EXPECT_EQ(readWholeFileUpTo(folder.text() + L"\\small", 10, bytes), WholeFileRead::Unreadable);
    EXPECT_TRUE(bytes.empty());
    fake::resetAll();
}

TEST(WholeFile, AHiveAbove2GiBIsRefusedWithoutBeingRead) {
    fake::resetAll();
    testing::TempFolder root;
    sample::writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root.path, "Users/big/NTUSER.DAT", {});
    std::filesystem::resize_file(root.path / "Users/big/NTUSER.DAT", maxHiveFileSize + 1); // sparse
    ScanResults results;
    runScan(ScanTarget{ScanSubject::EvidenceRoot, root.text()}, results);
    EXPECT_EQ(results.tally[hivesUnreadable], 1u);
    EXPECT_EQ(results.facts.profilesExamined, 0u);
    EXPECT_EQ(results.facts[enablePrefetcherPresent].value, 1u)
        << "the other hives are read all the same";
}

} // namespace
} // namespace tidewell
