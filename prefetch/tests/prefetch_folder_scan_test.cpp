// A whole Prefetch folder, read by the Prefetch source from the test
// double's Windows directory: every entry ends in exactly one counted outcome.
#include "prefetch/prefetch_source.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "platform/error_codes.h"
#include "platform/path_join.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_source.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "prefetch/sample/xpress_huffman_encoder.h"
#include "support/corpus_files.h"
#include "support/temp_folder.h"
#include "support/this_machine.h"

namespace tidewell {
namespace {

using testing::TempFolder;

std::vector<std::uint8_t> plainImage(const std::wstring& name, std::uint32_t version = 30) {
    sample::PrefetchImageSpec spec;
    spec.version = version;
    spec.name = name;
    spec.runTimeSlots = {133500000000000000ULL};
    spec.alternateRunCount = 1;
    spec.referencedFiles = {L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\" + name};
    return sample::buildPrefetchImage(spec);
}

std::vector<std::uint8_t> compressed(const std::vector<std::uint8_t>& image) {
    return sample::wrapInMamContainer(sample::compressXpressHuffman(image.data(), image.size()),
                                      static_cast<std::uint32_t>(image.size()), true);
}

// The scan's own sum: every file seen ends in exactly one of these.
std::uint32_t outcomes(const ScanTally& tally) {
    return tally[prefetchUnreadable] + tally[prefetchDecompressFailed] +
           tally[prefetchNotPrefetch] + tally[prefetchMalformed] + tally[prefetchUnknownVersion] +
           tally[prefetchParsed];
}

// The test double's Windows directory and its Prefetch folder.
struct PrefetchFolder {
    TempFolder windows;
    std::filesystem::path path = windows.path / "Prefetch";

    PrefetchFolder() {
        windows.makeFolder("Prefetch");
        fake::setWindowsDirectory(windows.text());
    }
    // The folder as the scan forms it: the Windows directory and "\Prefetch".
    std::wstring text() const { return windows.text() + L"\\Prefetch"; }
    void writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        windows.writeFile("Prefetch/" + name, bytes);
    }
    void makeFolder(const std::string& name) const { windows.makeFolder("Prefetch/" + name); }
};

// The Prefetch source, as a scan of this machine runs it.
void scanThisMachinesPrefetch(RecordList& records, ScanTally& tally) {
    testing::OpenedMachine opened;
    opened.results.records = std::move(records);
    scanPrefetch(opened.machine, opened.results);
    records = std::move(opened.results.records);
    tally = opened.results.tally;
}

class PrefetchFolderScan : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setFixedNow(133616736000000000ULL);
        fake::setVolumes({{L"vol", 0x1A2B3C4D, false, {L"C:\\"}, false, L""}});
    }
    void TearDown() override { fake::resetAll(); }
};

TEST_F(PrefetchFolderScan, AFolderThatCannotBeListedExaminesNothing) {
    PrefetchFolder folder;
    folder.writeFile("A.EXE-00000001.pf", plainImage(L"A.EXE"));
    fake::failListing(joinPath(folder.text(), L"*"), {ERROR_ACCESS_DENIED, -1, 0});
    RecordList records;
    ScanTally tally;
    scanThisMachinesPrefetch(records, tally);
    EXPECT_EQ(tally[prefetchDirUnreadable], 1u);
    EXPECT_EQ(tally[prefetchSeen], 0u);
    EXPECT_TRUE(records.empty());

    TempFolder withoutPrefetch;
    fake::setWindowsDirectory(withoutPrefetch.text());
    ScanTally missing;
    scanThisMachinesPrefetch(records, missing);
    EXPECT_EQ(missing[prefetchDirUnreadable], 1u);

    // Without a Windows directory there is no folder to name at all.
    fake::clearWindowsDirectory();
    ScanTally nowhere;
    scanThisMachinesPrefetch(records, nowhere);
    EXPECT_EQ(nowhere[prefetchDirUnreadable], 1u);
}

TEST_F(PrefetchFolderScan, EachKindOfEntryEndsInItsOwnOutcome) {
    PrefetchFolder folder;
    folder.makeFolder("subfolder.pf");
    folder.writeFile("UPPER.EXE-00000001.PF", plainImage(L"UPPER.EXE"));
    folder.writeFile("PACKED.EXE-00000002.pf", compressed(plainImage(L"PACKED.EXE")));
    folder.writeFile("old.pf.bak", plainImage(L"OLD.EXE"));
    folder.writeFile("pf", plainImage(L"PF.EXE"));
    folder.writeFile("notes.txt", {'h', 'i'});
    folder.writeFile("empty.pf", {});
    folder.writeFile("five.pf", {'S', 'C', 'C', 'A', 'x'});
    folder.writeFile("sdca.pf", {0x1E, 0, 0, 0, 'S', 'D', 'C', 'A', 0, 0, 0, 0, 0});
    folder.writeFile("damaged.pf", {'M', 'A', 'M', 0x04, 0x40, 0, 0, 0, 1, 2, 3, 4, 5});
    folder.writeFile("unpacked-not-scca.pf", compressed(std::vector<std::uint8_t>(300, 0x41)));
    std::vector<std::uint8_t> v24 = plainImage(L"V24.EXE");
    sample::putU32(v24, 0, 24);
    folder.writeFile("v24.pf", v24);
    for (const char* name : {"locked.pf", "nosize.pf", "noread.pf", "short.pf"}) {
        folder.writeFile(name, plainImage(L"LOCKED.EXE"));
    }
    fake::failFile(joinPath(folder.text(), L"locked.pf"), {ERROR_SHARING_VIOLATION});
    fake::failFile(joinPath(folder.text(), L"nosize.pf"), {0, true});
    fake::failFile(joinPath(folder.text(), L"noread.pf"), {0, false, true});
    fake::failFile(joinPath(folder.text(), L"short.pf"), {0, false, false, true});

    RecordList records;
    ScanTally tally;
    scanThisMachinesPrefetch(records, tally);

    EXPECT_EQ(tally[prefetchDirUnreadable], 0u);
    EXPECT_EQ(tally[prefetchListingStopped], 0u);
    EXPECT_EQ(tally[prefetchNonPrefetchSkipped], 3u); // old.pf.bak, pf, notes.txt
    EXPECT_EQ(tally[prefetchParsed], 2u);             // UPPER and PACKED
    EXPECT_EQ(tally[prefetchUnreadable], 5u);         // empty, locked, nosize, noread, short
    EXPECT_EQ(tally[prefetchNotPrefetch], 2u);        // five, sdca
    EXPECT_EQ(tally[prefetchDecompressFailed], 1u);   // damaged
    EXPECT_EQ(tally[prefetchMalformed], 1u);          // an unpacked image without SCCA
    EXPECT_EQ(tally[prefetchUnknownVersion], 1u);     // v24
    EXPECT_EQ(tally[prefetchSeen], 12u);
    EXPECT_EQ(tally[prefetchSeen], outcomes(tally));
    ASSERT_EQ(records.size(), 2u);
    for (const LaunchRecord& record : records) {
        EXPECT_EQ(record.pathStatus, PathStatus::Resolved);
        EXPECT_EQ(record.path, L"C:\\WINDOWS\\" + record.name);
        EXPECT_EQ(record.recordFile,
                  joinPath(folder.text(), record.name == L"UPPER.EXE" ? L"UPPER.EXE-00000001.PF"
                                                                      : L"PACKED.EXE-00000002.pf"));
    }
}

TEST_F(PrefetchFolderScan, AFileAbove64MiBIsUnreadableWithoutBeingRead) {
    PrefetchFolder folder;
    std::filesystem::path big = folder.path / "BIG.EXE-00000001.pf";
    folder.writeFile("BIG.EXE-00000001.pf", {});
    std::filesystem::resize_file(big, 64u * 1024 * 1024 + 1);
    RecordList records;
    ScanTally tally;
    scanThisMachinesPrefetch(records, tally);
    EXPECT_EQ(tally[prefetchSeen], 1u);
    EXPECT_EQ(tally[prefetchUnreadable], 1u);
}

TEST_F(PrefetchFolderScan, AListingThatBreaksOffKeepsWhatItHad) {
    PrefetchFolder folder;
    for (int i = 0; i < 6; ++i) {
        const std::wstring name = L"APP" + std::to_wstring(i) + L".EXE";
        folder.writeFile("APP" + std::to_string(i) + ".EXE-0000000" + std::to_string(i) + ".pf",
                         plainImage(name));
    }
    // "." and ".." come first among the entries; four files follow before the break.
    fake::failListing(joinPath(folder.text(), L"*"), {0, 6, ERROR_READ_FAULT});
    RecordList records;
    ScanTally tally;
    scanThisMachinesPrefetch(records, tally);
    EXPECT_EQ(tally[prefetchListingStopped], 1u);
    EXPECT_EQ(tally[prefetchSeen], 4u);
    EXPECT_EQ(records.size(), 4u);
    EXPECT_EQ(tally[prefetchSeen], outcomes(tally));
}

TEST_F(PrefetchFolderScan, RecordsAreAppendedAfterThoseAlreadyThere) {
    PrefetchFolder folder;
    folder.writeFile("ONE.EXE-00000001.pf", plainImage(L"ONE.EXE"));
    RecordList records(3);
    ScanTally tally;
    scanThisMachinesPrefetch(records, tally);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records.back().name, L"ONE.EXE");
}

TEST_F(PrefetchFolderScan, CorpusFilesMixedWithDamagedOnesAreAllAccountedFor) {
    TIDEWELL_REQUIRE_CORPUS("prefetch");
    fake::useRealClock();
    PrefetchFolder folder;
    std::size_t copied = 0;
    for (const auto& file : testing::corpusFiles("prefetch")) {
        // Same names in different folders: keep each under a unique one.
        const std::string name = std::to_string(copied++) + "-" + file.filename().string();
        folder.writeFile(name, testing::readWholeFile(file));
    }
    folder.writeFile("damaged.pf", {'M', 'A', 'M', 0x04, 0x40, 0, 0, 0, 1, 2, 3});
    folder.writeFile("empty.pf", {});
    folder.writeFile("README", {'x'});

    RecordList records;
    ScanTally tally;
    scanThisMachinesPrefetch(records, tally);
    EXPECT_EQ(tally[prefetchSeen], copied + 2);
    EXPECT_EQ(tally[prefetchSeen], outcomes(tally));
    EXPECT_EQ(tally[prefetchNonPrefetchSkipped], 1u);
    EXPECT_EQ(tally[prefetchNotPrefetch], 1u);      // the 13-byte corpus file
    EXPECT_EQ(tally[prefetchDecompressFailed], 1u); // ours
    EXPECT_EQ(tally[prefetchUnreadable], 1u);       // ours
    EXPECT_EQ(tally[prefetchMalformed] + tally[prefetchUnknownVersion], 0u);
    EXPECT_EQ(records.size(), tally[prefetchParsed]);
    EXPECT_EQ(records.size(), copied - 1);
    // None of the corpus volumes is mounted here.
    const auto resolved = std::count_if(records.begin(), records.end(), [](const LaunchRecord& r) {
        return r.pathStatus == PathStatus::Resolved;
    });
    EXPECT_EQ(resolved, 0);
    EXPECT_GT(tally[volumesNotIdentified], 0u);
}

TEST_F(PrefetchFolderScan, NamesOutsideAsciiAreListedAsTheyAreAndOpenAgain) {
    PrefetchFolder folder;
    // A UTF-8 name, and a name whose bytes are not UTF-8 at all (Latin-1).
    folder.writeFile("\xC3\x89"
                     "DITEUR.EXE-00000001.pf",
                     plainImage(L"\u00C9DITEUR.EXE"));
    folder.writeFile("CAF\xC9.EXE-00000002.pf", plainImage(L"CAFE.EXE"));
    RecordList records;
    ScanTally tally;
    scanThisMachinesPrefetch(records, tally);
    EXPECT_EQ(tally[prefetchUnreadable], 0u);
    ASSERT_EQ(tally[prefetchParsed], 2u);
    std::vector<std::wstring> files;
    for (const LaunchRecord& record : records) {
        files.push_back(record.recordFile);
    }
    std::sort(files.begin(), files.end());
    const std::wstring latin1Byte(1, static_cast<wchar_t>(0xDCC9));
    EXPECT_EQ(files, (std::vector<std::wstring>{
                         joinPath(folder.text(), L"CAF" + latin1Byte + L".EXE-00000002.pf"),
                         joinPath(folder.text(), L"\u00C9DITEUR.EXE-00000001.pf")}));
}

} // namespace
} // namespace tidewell
