// Whole files read in pieces up to a limit, and a hive file above the 2 GiB
// the hive reader holds, refused unread.
#include "platform/whole_file.h"

#include <atomic>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "core/scan_counters.h"
#include "fake/fake_machine.h"
#include "hive/hive_load.h"
#include "platform/error_codes.h"
#include "platform/files.h"
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

TEST(WholeFile, AFileBelowAFolderIsOpenedFollowingNoLinkOnTheWay) {
    fake::resetAll();
    testing::TempFolder root;
    testing::TempFolder outside;
    outside.writeFile("secret", {'o'});
    root.makeFolder("Windows");
    root.writeFile("Windows/kept", {'k'});
    std::filesystem::create_directory_symlink(outside.path, root.path / "Away");
    std::filesystem::create_symlink(outside.path / "secret", root.path / "Windows/link");

    ReadableFile file;
    std::uint32_t error = 0;
    EXPECT_TRUE(openFileBelow(root.text(), L"Windows\\kept", file, error));
    EXPECT_FALSE(openFileBelow(root.text(), L"Away\\secret", file, error));
    EXPECT_EQ(error, static_cast<std::uint32_t>(ERROR_CANT_RESOLVE_FILENAME));
    EXPECT_FALSE(openFileBelow(root.text(), L"Windows\\link", file, error));
    EXPECT_EQ(error, static_cast<std::uint32_t>(ERROR_CANT_RESOLVE_FILENAME));
    EXPECT_FALSE(openFileBelow(root.text(), L"Windows\\absent", file, error));
    EXPECT_EQ(error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(openFileBelow(root.text(), L"Windows", file, error)) << "a folder is no file";
}

// A link swapped in, again and again, for the folder a file is read from:
// whatever the timing, the read is of the evidence or refused, never of the
// file outside.
TEST(WholeFile, ALinkSwappedInBetweenCheckAndOpenIsNeverFollowed) {
    fake::resetAll();
    testing::TempFolder root;
    testing::TempFolder outside;
    outside.makeFolder("Prefetch");
    outside.writeFile("Prefetch/A.pf", {'o', 'u', 't'});
    root.makeFolder("Kept");
    root.makeFolder("Kept/Prefetch");
    root.writeFile("Kept/Prefetch/A.pf", {'i', 'n'});
    std::filesystem::create_directory_symlink(outside.path / "Prefetch", root.path / "Link");

    std::atomic<bool> done{false};
    std::thread swapper([&] {
        // Prefetch is the real folder, then a link out, in turn.
        std::error_code ignored;
        while (!done) {
            std::filesystem::rename(root.path / "Kept/Prefetch", root.path / "Prefetch", ignored);
            std::this_thread::yield();
            std::filesystem::rename(root.path / "Prefetch", root.path / "Kept/Prefetch", ignored);
            std::filesystem::copy_symlink(root.path / "Link", root.path / "Prefetch", ignored);
            std::this_thread::yield();
            std::filesystem::remove(root.path / "Prefetch", ignored);
        }
    });
    FileScope scope = confinedFileScope(root.text());
    std::size_t read = 0;
    std::size_t outsideRead = 0;
    for (int attempt = 0; attempt < 20000; ++attempt) {
        std::vector<std::uint8_t> bytes;
        if (readWholeFileUpTo(scope, root.text() + L"\\Prefetch\\A.pf", 1024, bytes) ==
            WholeFileRead::Read) {
            ++read;
            outsideRead += bytes == std::vector<std::uint8_t>{'o', 'u', 't'} ? 1 : 0;
        }
    }
    done = true;
    swapper.join();
    EXPECT_EQ(outsideRead, 0u) << "of " << read << " reads";
}

// The folder a file was opened in is kept for the next file of it: files of
// several folders in turn are each the right one, and a folder replaced
// between two scans is read anew, not as the first scan left it.
TEST(WholeFile, TheFilesOfAKeptFolderAreItsOwnAndANewScanLooksAgain) {
    fake::resetAll();
    testing::TempFolder root;
    root.makeFolder("Windows");
    root.makeFolder("Windows/Prefetch");
    root.writeFile("Windows/Prefetch/A.pf", {'a'});
    root.writeFile("Windows/Prefetch/B.pf", {'b'});
    root.writeFile("Windows/top", {'t'});
    FileScope scope = confinedFileScope(root.text());
    const auto read = [&root](FileScope& in, const std::wstring& relative) {
        std::vector<std::uint8_t> bytes;
        return readWholeFileUpTo(in, root.text() + L"\\" + relative, 16, bytes) ==
                       WholeFileRead::Read
                   ? std::string(bytes.begin(), bytes.end())
                   : std::string("(not read)");
    };
    EXPECT_EQ(read(scope, L"Windows\\Prefetch\\A.pf"), "a");
    EXPECT_EQ(read(scope, L"Windows\\Prefetch\\B.pf"), "b");
    EXPECT_EQ(read(scope, L"Windows\\top"), "t");
    EXPECT_EQ(read(scope, L"Windows\\Prefetch\\A.pf"), "a");
    EXPECT_EQ(read(scope, L"Windows\\Prefetch\\absent.pf"), "(not read)");

    std::filesystem::remove_all(root.path / "Windows/Prefetch");
    root.makeFolder("Windows/Prefetch");
    root.writeFile("Windows/Prefetch/A.pf", {'2'});
    FileScope again = confinedFileScope(root.text());
    EXPECT_EQ(read(again, L"Windows\\Prefetch\\A.pf"), "2");
}

} // namespace
} // namespace tidewell
