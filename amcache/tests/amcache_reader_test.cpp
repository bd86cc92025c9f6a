// Amcache entries from hives of both layouts: every value where Windows puts
// it, a value of the wrong shape withheld and counted, the SHA-1 and link
// date as Windows writes them, and the two real hives of the corpus (one
// holding both layouts, one with its logs).
#include "amcache/amcache_reader.h"

#include <gtest/gtest.h>

#include "amcache/amcache_counters.h"
#include "amcache/amcache_details.h"
#include "amcache/sample/amcache_hives.h"
#include "sample/evidence_tree.h"
#include "support/corpus_files.h"
#include "support/hive_files.h"

namespace tidewell {
namespace {

struct ReadHive {
    testing::LoadedHive hive;
    RecordList records;
    ScanTally tally;
    AmcacheLayouts layouts;
};

ReadHive readHive(const std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& log1 = {},
                  const std::vector<std::uint8_t>& log2 = {}) {
    ReadHive read;
    read.hive = testing::loadHiveBytes(file, log1, log2);
    RegistryKey root;
    openHiveRoot(read.hive.image, root);
    read.layouts = readAmcacheEntries(root, L"X:\\Amcache.hve", read.records, read.tally);
    return read;
}

TEST(AmcacheSha1, FourZerosAndFortyHexDigitsAreTheSha1) {
    std::wstring sha1;
    EXPECT_TRUE(amcacheSha1(L"0000" + std::wstring(40, L'F'), sha1));
    EXPECT_EQ(sha1, std::wstring(40, L'f')) << "in lower case";
    for (const std::wstring& other :
         {std::wstring(L""), std::wstring(44, L'0').replace(4, 1, L"g"),
          L"1111" + std::wstring(40, L'a'), L"0000" + std::wstring(39, L'a'),
          L"0000" + std::wstring(41, L'a')}) {
        EXPECT_FALSE(amcacheSha1(other, sha1)) << testing::narrow(other);
    }
}

TEST(AmcacheLinkDate, MonthDayYearAndTimeInUtc) {
    std::uint64_t time = 0;
    EXPECT_TRUE(amcacheLinkDate(L"12/26/2021 14:00:00", time));
    EXPECT_EQ(time, 132850008000000000ULL);
    EXPECT_TRUE(amcacheLinkDate(L"02/29/2020 00:00:01", time)) << "a leap day";
    for (const wchar_t* other :
         {L"02/29/2021 00:00:00", L"13/01/2021 00:00:00", L"12/26/2021 24:00:00",
          L"2021-12-26 14:00:00", L"12/26/2021 14:00", L"1a/26/2021 14:00:00", L""}) {
        EXPECT_FALSE(amcacheLinkDate(other, time)) << testing::narrow(other);
    }
}

TEST(AmcacheReader, AHiveWithOnlyAnEmptyNewKeyStillHasItsOldEntriesRead) {
    const ReadHive read = readHive(sample::writeHive(sample::amcacheHive(
        {},
        {{L"{v}", L"1000023", L"c:\\a\\old.exe", L"0000" + std::wstring(40, L'1'), 5, 6, 0, 10}})));
    EXPECT_TRUE(read.layouts.inventory) << "there, if empty";
    EXPECT_TRUE(read.layouts.file);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].name, L"old.exe");
    EXPECT_EQ(read.records[0].recordFile, L"X:\\Amcache.hve");
    EXPECT_EQ(amcacheDetails(read.records[0])->entryKey, L"File\\{v}\\1000023");
    EXPECT_EQ(amcacheDetails(read.records[0])->linkTime, 0u) << "a link time of 0 is none";
}

TEST(AmcacheReader, AHiveOfNeitherLayoutHasNoEntry) {
    const ReadHive read = readHive(sample::writeHive(sample::amcacheHive({}, {}, false)));
    EXPECT_FALSE(read.layouts.inventory);
    EXPECT_FALSE(read.layouts.file);
    EXPECT_TRUE(read.records.empty());
    EXPECT_EQ(read.tally[amcacheKeysUnreadable], 0u);
}

TEST(AmcacheReader, AValueOfTheWrongShapeIsWithheldAndCountedAndTheEntryKept) {
    sample::HiveSpec spec =
        sample::amcacheHive({{L"tool.exe|1", L"c:\\tool.exe", L"tool.exe",
                              L"0000" + std::wstring(40, L'2'), L"p", L"1.0", L"not a date", 7}},
                            {});
    sample::HiveKeySpec& entry =
        sample::keyAt(spec.root, L"Root\\InventoryApplicationFile\\tool.exe|1");
    for (sample::HiveValueSpec& value : entry.values) {
        if (value.name == L"Publisher") {
            value.type = 4; // a number where text belongs
            value.data = sample::registryDword(1);
        }
        if (value.name == L"FileId") {
            value.data = sample::registryText(L"0000xyz");
        }
    }
    const ReadHive read = readHive(sample::writeHive(spec));
    ASSERT_EQ(read.records.size(), 1u);
    const AmcacheDetails& details = *amcacheDetails(read.records[0]);
    EXPECT_TRUE(details.publisher.empty());
    EXPECT_TRUE(details.sha1.empty()) << "a SHA-1 not of its form is not shown";
    EXPECT_EQ(details.linkDate, L"not a date") << "the text as recorded";
    EXPECT_EQ(details.linkTime, 0u) << "but no time made of it";
    EXPECT_EQ(details.version, L"1.0");
    EXPECT_EQ(read.tally[amcacheValuesMalformed], 3u);
    EXPECT_EQ(read.tally[amcacheEntriesRead], 1u);
}

TEST(AmcacheReader, SizesComeAsNumbersOrAsHexadecimalText) {
    sample::HiveSpec spec =
        sample::amcacheHive({{L"a|1", L"c:\\a.exe", L"a.exe", L"", L"", L"", L"", 0},
                             {L"b|2", L"c:\\b.exe", L"b.exe", L"", L"", L"", L"", 0},
                             {L"c|3", L"c:\\c.exe", L"c.exe", L"", L"", L"", L"", 0}},
                            {});
    const auto setSize = [&](const wchar_t* key, sample::HiveValueSpec size) {
        for (sample::HiveValueSpec& value :
             sample::keyAt(spec.root, std::wstring(L"Root\\InventoryApplicationFile\\") + key)
                 .values) {
            if (value.name == L"Size") {
                value = size;
            }
        }
    };
    setSize(L"a|1", sample::textValue(L"Size", L"0x7fac0"));
    setSize(L"b|2", sample::textValue(L"Size", L"0xZZ"));
    setSize(L"c|3", {L"Size", 4, sample::registryDword(5)});
    const ReadHive read = readHive(sample::writeHive(spec));
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(amcacheDetails(read.records[0])->fileSize, 0x7fac0u);
    EXPECT_EQ(amcacheDetails(read.records[0])->fileSizeKnown, 1);
    EXPECT_EQ(amcacheDetails(read.records[1])->fileSizeKnown, 0);
    EXPECT_EQ(amcacheDetails(read.records[2])->fileSizeKnown, 0) << "four bytes are no QWORD";
    EXPECT_EQ(read.tally[amcacheValuesMalformed], 2u);
}

// --- real hives ---

std::vector<std::uint8_t> corpusFile(const char* path) {
    return testing::readWholeFile(testing::corpusRoot() / "sources/amcache" / path);
}

TEST(AmcacheCorpus, AHiveHoldingBothLayoutsGivesEveryEntryOfEach) {
    TIDEWELL_REQUIRE_CORPUS("sources");
    const ReadHive read = readHive(corpusFile("regipy/amcache.hve"));
    EXPECT_EQ(read.hive.load.status, HiveStatus::Stale) << "published without its logs";
    EXPECT_TRUE(read.layouts.inventory);
    EXPECT_TRUE(read.layouts.file);
    std::size_t inventory = 0;
    std::size_t unnamedKeys = 0;
    for (const LaunchRecord& record : read.records) {
        const AmcacheDetails& details = *amcacheDetails(record);
        inventory += details.inventoryLayout;
        EXPECT_FALSE(record.name.empty()) << testing::narrow(details.entryKey);
        EXPECT_NE(details.lastWritten, 0u);
        if (details.inventoryLayout != 0 && details.entryKey.find(L'|') == std::wstring::npos) {
            ++unnamedKeys; // keys named 0000<SHA-1>, named after their path
        }
        if (!details.sha1.empty()) {
            EXPECT_EQ(details.sha1.size(), 40u);
        }
    }
    EXPECT_EQ(inventory, 247u);
    EXPECT_EQ(read.records.size() - inventory, 1120u);
    EXPECT_EQ(unnamedKeys, 247u);
    EXPECT_EQ(read.tally[amcacheEntriesSeen], read.records.size());
    EXPECT_EQ(read.tally[amcacheValuesMalformed], 0u);
    EXPECT_EQ(read.tally[amcacheKeysUnreadable], 0u);
}

TEST(AmcacheCorpus, AHiveWithItsLogsGivesItsInventory) {
    TIDEWELL_REQUIRE_CORPUS("sources");
    const char* folder = "DFIRArtifactMuseum/Win10-APTSimulatorVM/";
    const ReadHive read = readHive(corpusFile((std::string(folder) + "Amcache.hve").c_str()),
                                   corpusFile((std::string(folder) + "Amcache.hve.LOG1").c_str()),
                                   corpusFile((std::string(folder) + "Amcache.hve.LOG2").c_str()));
    // Its logs would take the hive back to a state that does not read
    // soundly: it is read as it stands.
    EXPECT_EQ(read.hive.load.status, HiveStatus::Stale);
    EXPECT_TRUE(read.hive.load.replayRefused);
    EXPECT_TRUE(read.layouts.inventory);
    EXPECT_FALSE(read.layouts.file);
    EXPECT_EQ(read.records.size(), 123u);
    bool sevenZip = false;
    for (const LaunchRecord& record : read.records) {
        if (record.name == L"7z.exe") {
            sevenZip = true;
            EXPECT_EQ(record.path, L"c:\\program files\\7-zip\\7z.exe");
            const AmcacheDetails& details = *amcacheDetails(record);
            EXPECT_EQ(details.publisher, L"igor pavlov");
            EXPECT_EQ(details.version, L"21.07");
            EXPECT_EQ(details.linkDate, L"12/26/2021 14:00:00");
            EXPECT_EQ(details.fileSize, 0x82a00u);
            EXPECT_EQ(details.sha1.size(), 40u);
        }
    }
    EXPECT_TRUE(sevenZip);
    EXPECT_EQ(read.tally[amcacheValuesMalformed], 0u);
}

} // namespace
} // namespace tidewell
