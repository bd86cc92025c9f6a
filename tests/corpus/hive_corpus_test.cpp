// Real hive files through the hive reader: dirty ones with their logs
// against the copies Windows itself recovered, damaged ones refused, and
// real NTUSER.DAT files whose UserAssist keys must read exactly as their
// registry exports do.
#include <algorithm>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "hive/hive_walk.h"
#include "platform/error_codes.h"
#include "registry/registry.h"
#include "support/corpus_files.h"
#include "support/hive_files.h"
#include "support/reg_file.h"
#include "support/userassist_corpus_checks.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_reader.h"

namespace tidewell {
namespace {

using testing::corpusRoot;
using testing::LoadedHive;
using testing::loadHiveFiles;
using testing::narrow;
using testing::RegFileKey;

std::filesystem::path recoveryHive(const char* relative) {
    return corpusRoot() / "hives-recovery" / relative;
}

std::vector<RegFileKey> exportAll(const LoadedHive& hive, std::uint32_t& errors) {
    RegistryKey root;
    openHiveRoot(hive.image, root);
    std::vector<RegFileKey> keys;
    errors = 0;
    testing::exportSubtree(root, L"", keys, errors);
    return keys;
}

// The same keys in the same order, each with the same values. Exports list
// a key's values sorted by name, where a hive keeps the order they were
// written in, so values are compared by name.
void expectSameKeys(const std::vector<RegFileKey>& got, const std::vector<RegFileKey>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    const auto byName = [](std::vector<testing::RegFileValue> values) {
        std::sort(values.begin(), values.end(),
                  [](const auto& a, const auto& b) { return a.name < b.name; });
        return values;
    };
    for (std::size_t k = 0; k < got.size(); ++k) {
        SCOPED_TRACE(narrow(expected[k].path));
        ASSERT_EQ(got[k].path, expected[k].path);
        const auto gotValues = byName(got[k].values);
        const auto expectedValues = byName(expected[k].values);
        ASSERT_EQ(gotValues.size(), expectedValues.size());
        for (std::size_t v = 0; v < gotValues.size(); ++v) {
            EXPECT_EQ(gotValues[v].name, expectedValues[v].name);
            EXPECT_EQ(gotValues[v].type, expectedValues[v].type);
            EXPECT_EQ(gotValues[v].data, expectedValues[v].data);
        }
    }
}

TEST(HiveCorpus, ANewFormatDirtyHiveRecoversToWhatWindows10Made) {
    TIDEWELL_REQUIRE_CORPUS("hives-recovery");
    const LoadedHive hive = loadHiveFiles(recoveryHive("yarp/NewDirtyHive1/NewDirtyHive"));
    EXPECT_EQ(hive.load.status, HiveStatus::Recovered);
    // LOG1's one entry carries the hive's secondary sequence number, and
    // LOG2's three continue it: Windows wrote the result as sequence 6.
    EXPECT_EQ(hive.load.logEntriesApplied, 4u);
    EXPECT_FALSE(hive.load.earlierEntriesMissing);
    const std::vector<std::uint8_t> windows =
        testing::readWholeFile(recoveryHive("yarp/NewDirtyHive1/RecoveredHive_Windows10"));
    ASSERT_GE(windows.size(), hive.image.bytes.size());
    EXPECT_EQ(hive.image.bytes.size(), 4096u + hive.image.binsSize);
    EXPECT_TRUE(
        std::equal(hive.image.bytes.begin() + 4096, hive.image.bytes.end(), windows.begin() + 4096))
        << "every bin as Windows wrote it back";

    const LoadedHive primaryOnly = testing::loadHiveBytes(
        testing::readWholeFile(recoveryHive("yarp/NewDirtyHive1/NewDirtyHive")));
    EXPECT_EQ(primaryOnly.load.status, HiveStatus::Stale);
    const auto valueCount = [](const LoadedHive& loaded) {
        std::uint32_t errors = 0;
        std::size_t values = 0;
        for (const RegFileKey& key : exportAll(loaded, errors)) {
            values += key.values.size();
        }
        return values;
    };
    EXPECT_EQ(valueCount(primaryOnly), 2u);
    EXPECT_EQ(valueCount(hive), 1u) << "the logs deleted a value the primary file still holds";
}

TEST(HiveCorpus, AnOldFormatDirtyHiveRecoversToWhatWindows7Made) {
    TIDEWELL_REQUIRE_CORPUS("hives-recovery");
    const LoadedHive hive = loadHiveFiles(recoveryHive("yarp/OldDirtyHive/OldDirtyHive"));
    EXPECT_EQ(hive.load.status, HiveStatus::Recovered);
    EXPECT_EQ(hive.load.logEntriesApplied, 1u);
    const LoadedHive windows = testing::loadHiveBytes(
        testing::readWholeFile(recoveryHive("yarp/OldDirtyHive/RecoveredHive_Windows7")));
    ASSERT_EQ(windows.load.status, HiveStatus::Clean);
    std::uint32_t errors = 0;
    const std::vector<RegFileKey> recovered = exportAll(hive, errors);
    EXPECT_EQ(errors, 0u);
    expectSameKeys(recovered, exportAll(windows, errors));

    const LoadedHive stale = testing::loadHiveBytes(
        testing::readWholeFile(recoveryHive("yarp/OldDirtyHive/OldDirtyHive")));
    EXPECT_EQ(stale.load.status, HiveStatus::Stale);
    std::size_t values = 0;
    for (const RegFileKey& key : exportAll(stale, errors)) {
        values += key.values.size();
    }
    EXPECT_EQ(values, 0u) << "the value the log brings is not in the primary file";
}

TEST(HiveCorpus, ADamagedLogIsRefusedAndTheHiveSaidToBeStale) {
    TIDEWELL_REQUIRE_CORPUS("hives-recovery");
    const LoadedHive hive = loadHiveFiles(recoveryHive("yarp/BadLogHive1/BadLogHive"));
    EXPECT_EQ(hive.load.status, HiveStatus::Stale);
    EXPECT_EQ(hive.load.logEntriesApplied, 0u);
}

TEST(HiveCorpus, CleanDamagedAndOddHivesEachGetTheirOutcome) {
    TIDEWELL_REQUIRE_CORPUS("hives-recovery");
    struct Case {
        const char* file;
        HiveStatus status;
        std::size_t keys; // the root included
        std::size_t values;
        std::uint32_t errors;
    };
    const Case cases[] = {
        {"yarp/EmptyHive", HiveStatus::Clean, 1, 0, 0},
        {"yarp/GarbageHive", HiveStatus::Stale, 1, 0, 0}, // wrong checksum, trailing bytes
        {"yarp/BigDataHive", HiveStatus::Clean, 2, 2, 0},
        {"yarp/ManySubkeysHive", HiveStatus::Clean, 5003, 0, 0},
        {"yarp/TruncatedNameHive", HiveStatus::Clean, 1, 0, 1},
        {"yarp/TruncatedHive", HiveStatus::Malformed, 0, 0, 0},
        {"plaso/100_sub_keys.hiv", HiveStatus::Clean, 101, 100, 0},
        {"regipy/NTUSER-WSL.DAT", HiveStatus::Clean, 3074, 4949, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const LoadedHive hive = loadHiveFiles(recoveryHive(c.file));
        EXPECT_EQ(hive.load.status, c.status);
        if (!isReadable(hive.load.status)) {
            continue;
        }
        std::uint32_t errors = 0;
        const std::vector<RegFileKey> keys = exportAll(hive, errors);
        std::size_t values = 0;
        for (const RegFileKey& key : keys) {
            values += key.values.size();
        }
        EXPECT_EQ(keys.size(), c.keys);
        EXPECT_EQ(values, c.values);
        EXPECT_EQ(errors, c.errors);
        // The whole walk a replay must pass finds exactly what the export
        // could not read.
        EXPECT_EQ(hiveWalksCleanly(hive.image), c.errors == 0);
    }
}

TEST(HiveCorpus, EveryRealHiveWalksCleanly) {
    TIDEWELL_REQUIRE_CORPUS("hives-recovery");
    for (const std::filesystem::path& file :
         {recoveryHive("regipy/SYSTEM"), recoveryHive("yarp/NewDirtyHive1/NewDirtyHive"),
          corpusRoot() / "hives/plaso/NTUSER.DAT", corpusRoot() / "hives/plaso/NTUSER-WIN7.DAT",
          corpusRoot() / "hives/plaso/NTUSER-CCLEANER.DAT",
          corpusRoot() / "hives/plaso/regf/NTUSER.DAT", corpusRoot() / "hives/regipy/NTUSER.DAT"}) {
        SCOPED_TRACE(file.string());
        const LoadedHive hive = loadHiveFiles(file);
        ASSERT_TRUE(isReadable(hive.load.status));
        EXPECT_TRUE(hiveWalksCleanly(hive.image));
    }
}

TEST(HiveCorpus, BigDataValuesReadWhole) {
    TIDEWELL_REQUIRE_CORPUS("hives-recovery");
    const LoadedHive hive = loadHiveFiles(recoveryHive("yarp/BigDataHive"));
    std::uint32_t errors = 0;
    std::size_t bigValues = 0;
    for (const RegFileKey& key : exportAll(hive, errors)) {
        for (const auto& value : key.values) {
            bigValues += value.data.size() > 16344 ? 1 : 0;
        }
    }
    EXPECT_EQ(errors, 0u);
    EXPECT_GE(bigValues, 1u);
}

TEST(HiveCorpus, ARealSystemHiveHoldsItsPrefetchParameters) {
    TIDEWELL_REQUIRE_CORPUS("hives-recovery");
    const LoadedHive hive = loadHiveFiles(recoveryHive("regipy/SYSTEM"));
    ASSERT_EQ(hive.load.status, HiveStatus::Clean);
    RegistryKey root;
    openHiveRoot(hive.image, root);
    RegistryKey select;
    ASSERT_EQ(regOpenKey(root, L"Select", registryKeyRead, select),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    std::uint8_t current[4] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof current;
    ASSERT_EQ(regQueryValue(select, L"Current", type, current, size),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(type, 4u);
    wchar_t controlSet[32];
    std::swprintf(controlSet, 32, L"ControlSet%03u", static_cast<unsigned>(current[0]));
    RegistryKey parameters;
    ASSERT_EQ(regOpenKey(root,
                         std::wstring(controlSet) +
                             L"\\Control\\Session Manager\\Memory Management\\PrefetchParameters",
                         registryKeyQueryValue, parameters),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    std::uint8_t enabled[4] = {};
    size = sizeof enabled;
    ASSERT_EQ(regQueryValue(parameters, L"EnablePrefetcher", type, enabled, size),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(type, 4u);
    EXPECT_EQ(size, 4u);
}

std::vector<RegFileKey> exportOf(const char* file) {
    std::ifstream in(corpusRoot() / "userassist-reg" / file);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<RegFileKey> keys;
    EXPECT_TRUE(testing::parseRegFile(text.str(), "HKEY_CURRENT_USER", keys));
    return keys;
}

TEST(HiveCorpus, UserAssistKeysReadExactlyAsTheirExports) {
    TIDEWELL_REQUIRE_CORPUS("hives");
    for (const auto& facts : testing::userAssistExports) {
        SCOPED_TRACE(facts.hive);
        const LoadedHive hive = loadHiveFiles(corpusRoot() / "hives" / facts.hive);
        ASSERT_EQ(hive.load.status, HiveStatus::Clean);
        RegistryKey root;
        RegistryKey userAssist;
        openHiveRoot(hive.image, root);
        ASSERT_EQ(regOpenKey(root, userAssistKeyPath, registryKeyRead, userAssist),
                  static_cast<std::uint32_t>(ERROR_SUCCESS));
        std::vector<RegFileKey> keys;
        std::uint32_t errors = 0;
        testing::exportSubtree(userAssist, userAssistKeyPath, keys, errors);
        EXPECT_EQ(errors, 0u);
        expectSameKeys(keys, exportOf(facts.file));
    }
}

TEST(HiveCorpus, TheUserAssistReaderCountsEveryValueOfAHiveFile) {
    TIDEWELL_REQUIRE_CORPUS("hives");
    for (const auto& facts : testing::userAssistExports) {
        SCOPED_TRACE(facts.file);
        const LoadedHive hive = loadHiveFiles(corpusRoot() / "hives" / facts.hive);
        RegistryKey root;
        openHiveRoot(hive.image, root);
        RecordList records;
        ScanTally tally;
        const HiveContext other{L"S-1-5-21-1-2-3-1001", L"", false, nullptr};
        readUserAssistKeys(root, other, records, tally);
        testing::expectEveryValueCountedOnce(tally, facts);
        EXPECT_EQ(records.size(), facts.parsed);
        EXPECT_EQ(tally[userAssistKeysUnreadable], 0u);
    }
}

} // namespace
} // namespace tidewell
