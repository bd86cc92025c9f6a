// The first file records of an NTFS volume built in memory, damaged as a torn
// write leaves them: one of the mirrored four is taken from the mirror, any
// other has its sectors' sequence numbers restored, and a sound or unused
// record is left alone.
#include "machine/ntfs_system_records.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace tidewell {
namespace {

constexpr std::size_t recordSize = 1024;
constexpr std::uint64_t mftAt = 16 * 512;
constexpr std::uint64_t mirrorAt = 64 * 512;

// A volume whose sixteen system records (and the mirror of the first four)
// are sound, each sector ending in its record's sequence number.
std::vector<std::uint8_t> volume() {
    std::vector<std::uint8_t> bytes(128 * 512);
    std::memcpy(bytes.data() + 3, "NTFS    ", 8);
    bytes[11] = 0x00;
    bytes[12] = 0x02;   // 512 bytes a sector
    bytes[13] = 1;      // a sector a cluster
    bytes[0x30] = 16;   // the file table's cluster
    bytes[0x38] = 64;   // its mirror's
    bytes[0x40] = 0xF6; // records of 2^10 bytes
    for (std::uint64_t number = 0; number < 16; ++number) {
        std::uint8_t* record = bytes.data() + mftAt + number * recordSize;
        std::memcpy(record, "FILE", 4);
        record[4] = 0x30; // the update sequence array
        record[6] = 3;    // the number and one entry per sector
        record[0x30] = static_cast<std::uint8_t>(number + 1);
        record[0x40] = 0xAB; // something of the record's own
        record[510] = record[1022] = static_cast<std::uint8_t>(number + 1);
        if (number < 4) {
            std::memcpy(bytes.data() + mirrorAt + number * recordSize, record, recordSize);
        }
    }
    return bytes;
}

BytesAt over(const std::vector<std::uint8_t>& bytes) {
    return bytesInMemory(bytes.data(), bytes.size());
}

TEST(NtfsSystemRecords, ADamagedRecordIsMendedFromItsMirrorOrItsOwnSequenceNumbers) {
    std::vector<std::uint8_t> sound = volume();
    EXPECT_TRUE(mendSystemRecords(over(sound), sound.size()).empty());

    std::vector<std::uint8_t> torn = volume();
    torn[mftAt + 1 * recordSize + 510] ^= 0xFF;                        // $MFTMirr: mirrored
    torn[mftAt + 6 * recordSize + 1022] ^= 0xFF;                       // $Bitmap: not mirrored
    std::memset(torn.data() + mftAt + 12 * recordSize, 0, recordSize); // unused: left alone
    const std::vector<MendedRecord> mended = mendSystemRecords(over(torn), torn.size());
    ASSERT_EQ(mended.size(), 2u);
    EXPECT_EQ(mended[0].offset, mftAt + 1 * recordSize);
    EXPECT_TRUE(mended[0].fromMirror);
    EXPECT_TRUE(recordSound(mended[0].bytes.data(), mended[0].bytes.size()));
    EXPECT_EQ(mended[1].offset, mftAt + 6 * recordSize);
    EXPECT_FALSE(mended[1].fromMirror);
    EXPECT_TRUE(recordSound(mended[1].bytes.data(), mended[1].bytes.size()));
    EXPECT_EQ(mended[1].bytes[0x40], 0xAB) << "the record's own bytes kept";

    // Both the record and its mirror torn: its sequence numbers restored.
    std::vector<std::uint8_t> both = volume();
    both[mftAt + 510] ^= 0xFF;
    both[mirrorAt + 510] ^= 0xFF;
    const std::vector<MendedRecord> fromItself = mendSystemRecords(over(both), both.size());
    ASSERT_EQ(fromItself.size(), 1u);
    EXPECT_FALSE(fromItself[0].fromMirror);

    // No NTFS, or a layout that does not fit the volume: nothing is touched.
    std::vector<std::uint8_t> other = volume();
    std::memcpy(other.data() + 3, "EXFAT   ", 8);
    other[mftAt + 510] ^= 0xFF;
    EXPECT_TRUE(mendSystemRecords(over(other), other.size()).empty());
    std::vector<std::uint8_t> farOff = torn;
    farOff[0x30] = 0xFF;
    farOff[0x37] = 0x7F;
    EXPECT_TRUE(mendSystemRecords(over(farOff), farOff.size()).empty());
}

} // namespace
} // namespace tidewell
