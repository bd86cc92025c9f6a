// The partition tables checked before the library reads them, over disks
// built in memory: a sound GPT, headers whose entry count, entry size or
// checksum fail, a backup header that stands in, and MBRs with an entry past
// the end or that are a volume's boot sector after all.
#include "machine/partition_tables.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tidewell {
namespace {

constexpr std::uint32_t sector = 512;

void put32(std::vector<std::uint8_t>& disk, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        disk[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}
void put64(std::vector<std::uint8_t>& disk, std::size_t at, std::uint64_t value) {
    put32(disk, at, static_cast<std::uint32_t>(value));
    put32(disk, at + 4, static_cast<std::uint32_t>(value >> 32));
}

BytesAt over(const std::vector<std::uint8_t>& disk) {
    return bytesInMemory(disk.data(), disk.size());
}

// A 1 MiB disk with a GPT of 128 entries of 128 bytes at LBA 2 (and its
// backup at the end), whose second entry is a partition from LBA 40 to 1000.
struct GptDisk {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(1024 * 1024);
    std::uint64_t lastLba() const { return bytes.size() / sector - 1; }

    GptDisk() {
        const std::size_t entry = 2 * sector + 128;
        bytes[entry] = 0xA2; // a type GUID that is not all zeros
        put64(bytes, entry + 32, 40);
        put64(bytes, entry + 40, 1000);
        const char16_t name[] = u"Basic data partition";
        for (std::size_t at = 0; name[at] != 0; ++at) {
            bytes[entry + 56 + 2 * at] = static_cast<std::uint8_t>(name[at]);
        }
        std::memcpy(bytes.data() + (lastLba() - 32) * sector, bytes.data() + 2 * sector,
                    32 * sector);
        writeHeader(1, lastLba(), 2, 128);
        writeHeader(lastLba(), 1, lastLba() - 32, 128);
    }
    void writeHeader(std::uint64_t lba, std::uint64_t alternate, std::uint64_t entriesLba,
                     std::uint32_t entries) {
        const std::size_t at = lba * sector;
        std::memcpy(bytes.data() + at, "EFI PART", 8);
        put32(bytes, at + 12, 92);
        put32(bytes, at + 16, 0);
        put64(bytes, at + 24, lba);
        put64(bytes, at + 32, alternate);
        put64(bytes, at + 72, entriesLba);
        put32(bytes, at + 80, entries);
        put32(bytes, at + 84, 128);
        put32(bytes, at + 88, crc32Of(bytes.data() + entriesLba * sector, 128 * 128));
        put32(bytes, at + 16, crc32Of(bytes.data() + at, 92));
    }
    void resign(std::uint64_t lba) {
        put32(bytes, lba * sector + 16, 0);
        put32(bytes, lba * sector + 16, crc32Of(bytes.data() + lba * sector, 92));
    }
};

TEST(PartitionTables, TheGptChecksumIsIeee8023Crc32) {
    const char text[] = "123456789";
    EXPECT_EQ(crc32Of(reinterpret_cast<const std::uint8_t*>(text), 9), 0xCBF43926u);
    EXPECT_EQ(crc32Of(nullptr, 0), 0u);
}

TEST(PartitionTables, ASoundGptIsReadAndEachFailedCheckSaysWhich) {
    GptDisk disk;
    GptHeader header;
    std::wstring why;
    ASSERT_EQ(checkGptHeader(over(disk.bytes), disk.bytes.size(), sector, 1, header, why),
              TableState::Sound);
    std::vector<FoundPartition> found;
    ASSERT_TRUE(readGptEntries(over(disk.bytes), disk.bytes.size(), sector, header, found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].offset, 40u * sector);
    EXPECT_EQ(found[0].length, 961u * sector);
    EXPECT_EQ(found[0].description, L"Basic data partition");

    // An entry count that runs past the image, even with its checksum made
    // to match; and the largest count there is.
    for (const std::uint32_t entries : {700000u, 0xFFFFFFFFu}) {
        GptDisk lying;
        put32(lying.bytes, sector + 80, entries);
        lying.resign(1);
        EXPECT_EQ(checkGptHeader(over(lying.bytes), lying.bytes.size(), sector, 1, header, why),
                  TableState::Damaged);
        EXPECT_NE(why.find(L"do not fit in the image"), std::wstring::npos);
        // The backup at the disk's end still gives the partition.
        EXPECT_EQ(checkGptHeader(over(lying.bytes), lying.bytes.size(), sector, lying.lastLba(),
                                 header, why),
                  TableState::Sound);
        EXPECT_TRUE(readGptEntries(over(lying.bytes), lying.bytes.size(), sector, header, found));
        EXPECT_EQ(found.size(), 1u);
    }

    GptDisk unsigned_;
    unsigned_.bytes[sector + 40] ^= 1; // changed after it was checksummed
    EXPECT_EQ(checkGptHeader(over(unsigned_.bytes), unsigned_.bytes.size(), sector, 1, header, why),
              TableState::Damaged);
    EXPECT_NE(why.find(L"checksum"), std::wstring::npos);

    GptDisk oddEntries;
    put32(oddEntries.bytes, sector + 84, 100);
    oddEntries.resign(1);
    EXPECT_EQ(
        checkGptHeader(over(oddEntries.bytes), oddEntries.bytes.size(), sector, 1, header, why),
        TableState::Damaged);

    // An entry that starts where the image ends is no partition (it would
    // have no bytes); one whose last sector is the largest there is is cut
    // at the image's end, its length not wrapped round.
    for (const std::uint64_t first : {std::uint64_t{2048}, std::uint64_t{2047}}) {
        GptDisk edge; // 1 MiB: 2,048 sectors
        put64(edge.bytes, 2 * sector + 128 + 32, first);
        put64(edge.bytes, 2 * sector + 128 + 40, ~0ULL);
        edge.writeHeader(1, edge.lastLba(), 2, 128);
        ASSERT_EQ(checkGptHeader(over(edge.bytes), edge.bytes.size(), sector, 1, header, why),
                  TableState::Sound);
        ASSERT_TRUE(readGptEntries(over(edge.bytes), edge.bytes.size(), sector, header, found));
        if (first == 2048) {
            EXPECT_TRUE(found.empty()) << "a partition at the image's very end";
        } else {
            ASSERT_EQ(found.size(), 1u);
            EXPECT_EQ(found[0].offset, 2047u * sector);
            EXPECT_EQ(found[0].length, sector) << "its one sector inside the image";
        }
    }

    // An entry array that does not match its checksum gives nothing.
    GptDisk damagedEntries;
    damagedEntries.bytes[2 * sector + 128 + 33] ^= 1;
    ASSERT_EQ(checkGptHeader(over(damagedEntries.bytes), damagedEntries.bytes.size(), sector, 1,
                             header, why),
              TableState::Sound);
    EXPECT_FALSE(readGptEntries(over(damagedEntries.bytes), damagedEntries.bytes.size(), sector,
                                header, found));

    // No signature, or no room for the header: no GPT at all.
    std::vector<std::uint8_t> blank(4096);
    EXPECT_EQ(checkGptHeader(over(blank), blank.size(), sector, 1, header, why),
              TableState::Absent);
    EXPECT_EQ(checkGptHeader(over(blank), 600, sector, 1, header, why), TableState::Absent);
    EXPECT_EQ(checkGptHeader(over(blank), blank.size(), sector, ~0ULL, header, why),
              TableState::Absent);
}

std::vector<std::uint8_t> mbrDisk() {
    std::vector<std::uint8_t> disk(64 * sector);
    disk[510] = 0x55;
    disk[511] = 0xAA;
    return disk;
}

void mbrEntry(std::vector<std::uint8_t>& disk, int entry, std::uint8_t type, std::uint32_t first,
              std::uint32_t sectors) {
    const std::size_t at = 446 + 16 * static_cast<std::size_t>(entry);
    disk[at + 4] = type;
    put32(disk, at + 8, first);
    put32(disk, at + 12, sectors);
}

TEST(PartitionTables, AnMbrEntryPastTheEndLosesNoneBesideIt) {
    std::vector<std::uint8_t> disk = mbrDisk();
    mbrEntry(disk, 0, 0x07, 8, 100); // runs past the end: cut there
    mbrEntry(disk, 1, 0x07, 5000, 10);
    mbrEntry(disk, 3, 0x07, 0xFFFFFFFF, 0xFFFFFFFF);
    std::vector<FoundPartition> found;
    std::wstring why;
    EXPECT_EQ(readMbrEntries(over(disk), disk.size(), found, why), TableState::Damaged);
    EXPECT_EQ(why, L"its MBR entries 2, 4 lie past the image's end");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].offset, 8u * sector);
    EXPECT_EQ(found[0].length, 56u * sector);
    EXPECT_EQ(found[0].description, L"partition type 0x07");

    // A GPT disk's protective entry, and empty entries, are no partitions.
    std::vector<std::uint8_t> protective = mbrDisk();
    mbrEntry(protective, 0, 0xEE, 1, 63);
    mbrEntry(protective, 2, 0x07, 16, 0);
    EXPECT_EQ(readMbrEntries(over(protective), protective.size(), found, why), TableState::Sound);
    EXPECT_TRUE(found.empty());

    // A volume's boot sector bears the same signature over boot code.
    std::vector<std::uint8_t> boot = mbrDisk();
    std::memset(boot.data() + 446, 0x33, 64);
    EXPECT_EQ(readMbrEntries(over(boot), boot.size(), found, why), TableState::Absent);
    std::vector<std::uint8_t> unsigned_(64 * sector);
    EXPECT_EQ(readMbrEntries(over(unsigned_), unsigned_.size(), found, why), TableState::Absent);
}

} // namespace
} // namespace tidewell
