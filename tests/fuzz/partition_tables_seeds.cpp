// seeds_partition_tables: small disks with a sound GPT (primary and backup,
// four entries), one whose primary header names entries past the disk, an
// MBR with an entry past the end beside a sound one, and the start of an
// NTFS volume with a torn system record.
#include <cstring>

#include "fuzz/seed_writer.h"
#include "machine/partition_tables.h"

namespace {

using tidewell::fuzz::Bytes;

constexpr std::size_t sector = 512;

void put32(Bytes& disk, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        disk[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void put64(Bytes& disk, std::size_t at, std::uint64_t value) {
    put32(disk, at, static_cast<std::uint32_t>(value));
    put32(disk, at + 4, static_cast<std::uint32_t>(value >> 32));
}

void gptHeader(Bytes& disk, std::uint64_t lba, std::uint64_t entriesLba, std::uint32_t entries) {
    const std::size_t at = lba * sector;
    std::memcpy(disk.data() + at, "EFI PART", 8);
    put32(disk, at + 12, 92);
    put64(disk, at + 24, lba);
    put64(disk, at + 72, entriesLba);
    put32(disk, at + 80, entries);
    put32(disk, at + 84, 128);
    put32(disk, at + 88, tidewell::crc32Of(disk.data() + entriesLba * sector, 4 * 128));
    put32(disk, at + 16, 0);
    put32(disk, at + 16, tidewell::crc32Of(disk.data() + at, 92));
}

Bytes gptDisk(std::uint32_t primaryEntries) {
    Bytes disk(16 * sector);
    disk[510] = 0x55;
    disk[511] = 0xAA;
    disk[446 + 4] = 0xEE;
    const std::size_t entry = 2 * sector;
    disk[entry] = 0xA2;
    put64(disk, entry + 32, 4);
    put64(disk, entry + 40, 12);
    std::memcpy(disk.data() + 14 * sector, disk.data() + 2 * sector, sector);
    gptHeader(disk, 1, 2, primaryEntries);
    gptHeader(disk, 15, 14, 4);
    return disk;
}

Bytes mbrDisk() {
    Bytes disk(16 * sector);
    disk[510] = 0x55;
    disk[511] = 0xAA;
    disk[446 + 4] = 0x07;
    put32(disk, 446 + 8, 2);
    put32(disk, 446 + 12, 8);
    disk[462 + 4] = 0x07;
    put32(disk, 462 + 8, 5000);
    put32(disk, 462 + 12, 10);
    return disk;
}

// An NTFS volume's start: its boot sector, sixteen system records (the
// seventh torn) and the mirror of the first four.
Bytes ntfsVolume() {
    constexpr std::size_t record = 1024;
    Bytes volume(80 * sector);
    std::memcpy(volume.data() + 3, "NTFS    ", 8);
    volume[12] = 0x02;
    volume[13] = 1;
    volume[0x30] = 16;
    volume[0x38] = 64;
    volume[0x40] = 0xF6;
    for (std::size_t number = 0; number < 16; ++number) {
        std::uint8_t* at = volume.data() + 16 * sector + number * record;
        std::memcpy(at, "FILE", 4);
        at[4] = 0x30;
        at[6] = 3;
        at[0x30] = at[510] = at[1022] = static_cast<std::uint8_t>(number + 1);
        if (number < 4) {
            std::memcpy(volume.data() + 64 * sector + number * record, at, record);
        }
    }
    volume[16 * sector + 6 * record + 510] ^= 0xFF;
    return volume;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        seeds.write("gpt", gptDisk(4));
        seeds.write("gpt-entries-past-end", gptDisk(700000));
        seeds.write("mbr-entry-past-end", mbrDisk());
        seeds.write("ntfs-torn-record", ntfsVolume());
    });
}
