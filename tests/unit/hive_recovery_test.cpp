// Dirty hives made by the hive writer: what their logs bring, and what they
// must not. Three states of one hive stand for three writes: the primary
// file holds the first, and log entries carry the changes to the second and
// the third. As Windows writes them, the first entry to apply carries the
// primary file's secondary sequence number, one below its primary one.
#include <gtest/gtest.h>

#include "platform/error_codes.h"
#include "registry/registry.h"
#include "sample/hive_writer.h"
#include "support/hive_files.h"

namespace tidewell {
namespace {

using sample::HiveLogEntrySpec;
using sample::HiveSpec;

constexpr std::uint32_t firstSequence = 10;

// A hive whose Software key holds the values of one state, each a marker.
std::vector<std::uint8_t> state(std::initializer_list<const wchar_t*> markers,
                                std::uint32_t sequence, std::size_t padding = 0) {
    HiveSpec spec;
    spec.sequence = sequence;
    sample::HiveKeySpec software;
    software.name = L"Software";
    for (const wchar_t* marker : markers) {
        software.values.push_back({marker, 4, {1, 0, 0, 0}});
    }
    // Data that makes a later state's bins larger than an earlier one's.
    software.values.push_back({L"Padding", 3, std::vector<std::uint8_t>(padding, 0xAB)});
    spec.root.subkeys.push_back(software);
    return sample::writeHive(spec);
}

std::uint32_t binsSizeOf(const std::vector<std::uint8_t>& file) {
    return static_cast<std::uint32_t>(file.size() - 4096);
}

HiveLogEntrySpec entry(std::uint32_t sequence, const std::vector<std::uint8_t>& from,
                       const std::vector<std::uint8_t>& to) {
    return {sequence, binsSizeOf(to), sample::changedPages(from, to)};
}

bool hasValue(const testing::LoadedHive& hive, const wchar_t* name) {
    RegistryKey root;
    RegistryKey software;
    openHiveRoot(hive.image, root);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    return regOpenKey(root, L"Software", registryKeyRead, software) == ERROR_SUCCESS &&
           regQueryValue(software, name, type, nullptr, size) == ERROR_SUCCESS;
}

class DirtyHive : public ::testing::Test {
protected:
    // The first write finished in the primary file; the second began (its
    // primary sequence number is one ahead) and went to the logs only.
    std::vector<std::uint8_t> first = state({L"First"}, firstSequence);
    std::vector<std::uint8_t> second = state({L"First", L"Second"}, firstSequence + 1, 6000);
    std::vector<std::uint8_t> third =
        state({L"First", L"Second", L"Third"}, firstSequence + 2, 20000);
    std::vector<std::uint8_t> primary = dirty(first);

    static std::vector<std::uint8_t> dirty(std::vector<std::uint8_t> file) {
        sample::setSequenceNumbers(file, firstSequence + 1, firstSequence);
        return file;
    }
    std::vector<std::uint8_t> bothEntries() const {
        return sample::writeNewFormatLog(
            primary, firstSequence,
            {entry(firstSequence, first, second), entry(firstSequence + 1, second, third)});
    }
    static bool binsEqual(const testing::LoadedHive& hive, const std::vector<std::uint8_t>& file) {
        return std::equal(hive.image.bytes.begin() + 4096,
                          hive.image.bytes.begin() + 4096 + hive.image.binsSize,
                          file.begin() + 4096, file.end());
    }
};

TEST_F(DirtyHive, RecoveredValuesArePresentAfterRecoveryAndAbsentBefore) {
    const testing::LoadedHive alone = testing::loadHiveBytes(primary);
    EXPECT_EQ(alone.load.status, HiveStatus::Stale) << "no log: the data may be stale";
    EXPECT_TRUE(hasValue(alone, L"First"));
    EXPECT_FALSE(hasValue(alone, L"Second"));

    const testing::LoadedHive recovered = testing::loadHiveBytes(primary, bothEntries());
    EXPECT_EQ(recovered.load.status, HiveStatus::Recovered);
    EXPECT_EQ(recovered.load.logEntriesApplied, 2u);
    EXPECT_TRUE(hasValue(recovered, L"Second"));
    EXPECT_TRUE(hasValue(recovered, L"Third"));
    EXPECT_EQ(recovered.image.binsSize, binsSizeOf(third)) << "the bins grew with the entries";
    EXPECT_TRUE(binsEqual(recovered, third));
}

TEST_F(DirtyHive, AnEntryWithABadHashStopsRecoveryThere) {
    std::vector<std::uint8_t> log = bothEntries();
    const std::vector<std::size_t> entries = sample::newFormatLogEntryOffsets(log);
    ASSERT_EQ(entries.size(), 2u);
    log[entries[1] + 600] ^= 0x01; // a page byte of the second entry: hash-1 fails
    testing::LoadedHive hive = testing::loadHiveBytes(primary, log);
    EXPECT_EQ(hive.load.status, HiveStatus::Recovered);
    EXPECT_EQ(hive.load.logEntriesApplied, 1u);
    EXPECT_TRUE(binsEqual(hive, second));

    log = bothEntries();
    log[entries[0] + 13] ^= 0x01; // the first entry's sequence number: hash-2 fails
    hive = testing::loadHiveBytes(primary, log);
    EXPECT_EQ(hive.load.status, HiveStatus::Stale);
    EXPECT_EQ(hive.load.logEntriesApplied, 0u);
    EXPECT_FALSE(hasValue(hive, L"Second"));
}

TEST_F(DirtyHive, TheEntryCarryingTheSecondarySequenceNumberIsAppliedFirst) {
    // Cut to that entry alone, the log still brings the hive up to date.
    const std::vector<std::uint8_t> log =
        sample::writeNewFormatLog(primary, firstSequence, {entry(firstSequence, first, second)});
    const testing::LoadedHive hive = testing::loadHiveBytes(primary, log);
    EXPECT_EQ(hive.load.status, HiveStatus::Recovered);
    EXPECT_EQ(hive.load.logEntriesApplied, 1u);
    EXPECT_FALSE(hive.load.earlierEntriesMissing);
    EXPECT_TRUE(hasValue(hive, L"Second"));
    EXPECT_TRUE(binsEqual(hive, second));
}

TEST_F(DirtyHive, AGapInTheSequenceStopsRecoveryBeforeIt) {
    const std::vector<std::uint8_t> log = sample::writeNewFormatLog(
        primary, firstSequence,
        {entry(firstSequence, first, second), entry(firstSequence + 2, second, third)});
    const testing::LoadedHive hive = testing::loadHiveBytes(primary, log);
    EXPECT_EQ(hive.load.logEntriesApplied, 1u);
    EXPECT_TRUE(hasValue(hive, L"Second"));
    EXPECT_FALSE(hasValue(hive, L"Third"));
}

TEST_F(DirtyHive, EntriesOlderThanTheHiveAreNotAppliedAgain) {
    // Entries already written to the primary file: replaying them would turn
    // the hive back (here into a state it never had after the first).
    const std::vector<std::uint8_t> old = sample::writeNewFormatLog(
        primary, firstSequence - 2,
        {entry(firstSequence - 2, first, third), entry(firstSequence - 1, first, second)});
    const testing::LoadedHive hive = testing::loadHiveBytes(primary, old);
    EXPECT_EQ(hive.load.status, HiveStatus::Stale);
    EXPECT_TRUE(binsEqual(hive, first));

    // An older entry before the ones that continue the hive is passed over.
    std::vector<HiveLogEntrySpec> entries = {entry(firstSequence - 1, first, third),
                                             entry(firstSequence, first, second)};
    const testing::LoadedHive mixed = testing::loadHiveBytes(
        primary, sample::writeNewFormatLog(primary, firstSequence - 1, entries));
    EXPECT_EQ(mixed.load.logEntriesApplied, 1u);
    EXPECT_TRUE(binsEqual(mixed, second));
}

TEST_F(DirtyHive, TheOlderOfTwoLogsIsAppliedFirstWhicheverSlotItIsIn) {
    const std::vector<std::uint8_t> older =
        sample::writeNewFormatLog(primary, firstSequence, {entry(firstSequence, first, second)});
    const std::vector<std::uint8_t> newer = sample::writeNewFormatLog(
        second, firstSequence + 1, {entry(firstSequence + 1, second, third)});
    for (bool swapped : {false, true}) {
        const testing::LoadedHive hive = swapped ? testing::loadHiveBytes(primary, newer, older)
                                                 : testing::loadHiveBytes(primary, older, newer);
        EXPECT_EQ(hive.load.logEntriesApplied, 2u) << swapped;
        EXPECT_FALSE(hive.load.earlierEntriesMissing) << swapped;
        EXPECT_TRUE(binsEqual(hive, third)) << swapped;
    }
    // A log whose own base block is damaged does not count at all.
    std::vector<std::uint8_t> damaged = newer;
    damaged[100] ^= 0xFF;
    const testing::LoadedHive hive = testing::loadHiveBytes(primary, older, damaged);
    EXPECT_EQ(hive.load.logEntriesApplied, 1u);
    EXPECT_TRUE(binsEqual(hive, second));
}

// A primary file written by a partial reconcile: its bins hold the second
// state, but its base block still names the first write's sequence numbers,
// and the logs were rotated since, so that their entries begin far above.
class PartlyReconciledHive : public DirtyHive {
protected:
    static constexpr std::uint32_t rotated = firstSequence + 40;
    std::vector<std::uint8_t> reconciled = withFirstSequenceNumbers(second);
    std::vector<std::uint8_t> fourth =
        state({L"First", L"Second", L"Third", L"Fourth"}, rotated + 2, 24000);

    static std::vector<std::uint8_t> withFirstSequenceNumbers(std::vector<std::uint8_t> file) {
        sample::setSequenceNumbers(file, firstSequence + 1, firstSequence);
        return file;
    }
    std::vector<std::uint8_t> log1() const {
        return sample::writeNewFormatLog(third, rotated + 1, {entry(rotated + 1, third, fourth)});
    }
};

TEST_F(PartlyReconciledHive, EveryEntryPresentIsAppliedFromTheOldestAndTheMissingOnesSaid) {
    const std::vector<std::uint8_t> log2 =
        sample::writeNewFormatLog(second, rotated, {entry(rotated, second, third)});
    const testing::LoadedHive hive = testing::loadHiveBytes(reconciled, log1(), log2);
    EXPECT_EQ(hive.load.status, HiveStatus::Recovered);
    EXPECT_TRUE(hive.load.earlierEntriesMissing);
    EXPECT_FALSE(hive.load.replayRefused);
    EXPECT_EQ(hive.load.logEntriesApplied, 2u);
    EXPECT_TRUE(hasValue(hive, L"Fourth"));
    EXPECT_TRUE(binsEqual(hive, fourth));

    // A gap between the entries present still ends the replay there.
    const std::vector<std::uint8_t> farLog2 =
        sample::writeNewFormatLog(second, rotated - 1, {entry(rotated - 1, second, third)});
    const testing::LoadedHive gapped = testing::loadHiveBytes(reconciled, log1(), farLog2);
    EXPECT_EQ(gapped.load.status, HiveStatus::Recovered);
    EXPECT_TRUE(gapped.load.earlierEntriesMissing);
    EXPECT_EQ(gapped.load.logEntriesApplied, 1u);
    EXPECT_TRUE(hasValue(gapped, L"Third"));
    EXPECT_FALSE(hasValue(gapped, L"Fourth"));
}

TEST_F(PartlyReconciledHive, AReplayThatDoesNotWalkCleanlyLeavesTheFileAsItStands) {
    // The entry present rewrites a value's record into something that is
    // not one: the primary file did not hold what came before it after all.
    sample::HiveLayout layout;
    HiveSpec spec;
    spec.sequence = firstSequence + 1;
    sample::HiveKeySpec software;
    software.name = L"Software";
    software.values = {{L"First", 4, {1, 0, 0, 0}},
                       {L"Second", 4, {1, 0, 0, 0}},
                       {L"Padding", 3, std::vector<std::uint8_t>(6000, 0xAB)}};
    spec.root.subkeys.push_back(software);
    const std::vector<std::uint8_t> before = sample::writeHive(spec, &layout);
    ASSERT_EQ(before, second) << "the layout is the second state's";
    std::vector<std::uint8_t> broken = before;
    const std::uint32_t valueCell = layout.valueCells.at(L"Software:Second");
    broken[4096 + valueCell + 4] = 'X'; // the "vk" signature, after the cell's size
    const std::vector<std::uint8_t> log =
        sample::writeNewFormatLog(second, rotated, {entry(rotated, second, broken)});
    const testing::LoadedHive hive = testing::loadHiveBytes(reconciled, log);
    EXPECT_EQ(hive.load.status, HiveStatus::Stale);
    EXPECT_TRUE(hive.load.replayRefused);
    EXPECT_FALSE(hive.load.earlierEntriesMissing);
    EXPECT_EQ(hive.load.logEntriesApplied, 0u);
    EXPECT_TRUE(binsEqual(hive, second)) << "the file as it stands, nothing half-applied";

    // The same entry continuing the hive without a gap is applied as Windows
    // would apply it: a broken record is then the reader's to refuse.
    const std::vector<std::uint8_t> continuing =
        sample::writeNewFormatLog(second, firstSequence, {entry(firstSequence, second, broken)});
    const testing::LoadedHive continued = testing::loadHiveBytes(reconciled, continuing);
    EXPECT_EQ(continued.load.status, HiveStatus::Recovered);
    EXPECT_FALSE(continued.load.replayRefused);
    EXPECT_FALSE(hasValue(continued, L"Second"));
}

TEST_F(DirtyHive, ADamagedPrimaryBaseBlockIsReplacedByTheNewestLogs) {
    // The second state reached the primary file's bins, but its base block
    // was then damaged; LOG2 carries the third.
    std::vector<std::uint8_t> damaged = second;
    damaged[52] ^= 0x40; // inside the base block: the checksum no longer matches
    const std::vector<std::uint8_t> older =
        sample::writeNewFormatLog(first, firstSequence, {entry(firstSequence, first, second)});
    const std::vector<std::uint8_t> newer = sample::writeNewFormatLog(
        second, firstSequence + 1, {entry(firstSequence + 1, second, third)});
    const testing::LoadedHive hive = testing::loadHiveBytes(damaged, older, newer);
    EXPECT_EQ(hive.load.status, HiveStatus::Recovered);
    EXPECT_TRUE(hive.load.baseBlockFromLog);
    EXPECT_EQ(hive.load.logEntriesApplied, 1u) << "the newest log alone";
    EXPECT_TRUE(binsEqual(hive, third));

    // Without logs it is read as it stands, and said to be possibly stale;
    // without its signature it is not a hive.
    EXPECT_EQ(testing::loadHiveBytes(damaged).load.status, HiveStatus::Stale);
    damaged[0] = 'X';
    EXPECT_EQ(testing::loadHiveBytes(damaged).load.status, HiveStatus::Malformed);
}

TEST_F(DirtyHive, ACleanHiveIgnoresItsLogs) {
    const testing::LoadedHive hive = testing::loadHiveBytes(first, bothEntries());
    EXPECT_EQ(hive.load.status, HiveStatus::Clean);
    EXPECT_TRUE(binsEqual(hive, first));
}

TEST_F(DirtyHive, AnOldFormatLogBringsItsDirtyPages) {
    std::vector<std::uint8_t> target = second;
    sample::setSequenceNumbers(target, firstSequence + 1, firstSequence + 1);
    const std::vector<std::uint8_t> log = sample::writeOldFormatLog(first, target);
    testing::LoadedHive hive = testing::loadHiveBytes(primary, log);
    EXPECT_EQ(hive.load.status, HiveStatus::Recovered);
    EXPECT_EQ(hive.load.logEntriesApplied, 1u);
    EXPECT_TRUE(hasValue(hive, L"Second"));
    EXPECT_TRUE(binsEqual(hive, second));

    // A log written against another state (its time stamp differs), one cut
    // short, and one whose pages would leave a bin unsound apply nothing.
    std::vector<std::uint8_t> otherTime = log;
    otherTime[12] ^= 0x01;
    sample::resealBaseBlock(otherTime);
    std::vector<std::uint8_t> cut(log.begin(), log.end() - 512);
    std::vector<std::uint8_t> badBin = log;
    ASSERT_EQ(std::string(log.begin() + 1024, log.begin() + 1028), "hbin")
        << "the first dirty page is the first bin's header";
    badBin[1024] = 'X';
    for (const auto& unusable : {otherTime, cut, badBin}) {
        hive = testing::loadHiveBytes(primary, unusable);
        EXPECT_EQ(hive.load.status, HiveStatus::Stale);
        EXPECT_TRUE(binsEqual(hive, first)) << "nothing half-applied";
    }
}

} // namespace
} // namespace tidewell
