#include "machine/ntfs_system_records.h"

#include <cstring>

#include "platform/byte_reader.h"

namespace tidewell {

namespace {

constexpr std::uint32_t systemRecords = 16;
constexpr std::uint32_t mirroredRecords = 4;
constexpr std::size_t sectorBytes = 512;

struct Layout {
    std::uint64_t mft = 0;    // byte offset of the file table in the volume
    std::uint64_t mirror = 0; // and of its mirror
    std::uint32_t recordSize = 0;
};

bool readLayout(const BytesAt& read, std::uint64_t volumeSize, Layout& layout) {
    std::uint8_t boot[512] = {};
    if (volumeSize < sizeof boot || !read(0, boot, sizeof boot) ||
        std::memcmp(boot + 3, "NTFS    ", 8) != 0) {
        return false;
    }
    const ByteView bytes{boot, sizeof boot};
    std::uint16_t bytesPerSector = 0;
    std::uint64_t mftCluster = 0;
    std::uint64_t mirrorCluster = 0;
    bytes.readU16(11, bytesPerSector);
    bytes.readU64(0x30, mftCluster);
    bytes.readU64(0x38, mirrorCluster);
    const std::uint64_t cluster = std::uint64_t{bytesPerSector} * boot[13];
    const auto perRecord = static_cast<std::int8_t>(boot[0x40]);
    // A positive count is clusters a record; a negative one a power of two.
    const std::uint64_t recordSize = perRecord > 0
                                         ? cluster * static_cast<std::uint64_t>(perRecord)
                                         : (perRecord > -31 ? std::uint64_t{1} << -perRecord : 0);
    if (cluster == 0 || recordSize < sectorBytes || recordSize > 65536 ||
        recordSize % sectorBytes != 0 || mftCluster > volumeSize / cluster ||
        mirrorCluster > volumeSize / cluster) {
        return false;
    }
    layout.mft = mftCluster * cluster;
    layout.mirror = mirrorCluster * cluster;
    layout.recordSize = static_cast<std::uint32_t>(recordSize);
    return layout.mft <= volumeSize - systemRecords * recordSize &&
           layout.mirror <= volumeSize - mirroredRecords * recordSize;
}

// The update sequence array's place, when it fits the record: its first
// entry is the number each sector must end in, one entry a sector after it.
bool sequenceArray(const std::uint8_t* record, std::size_t size, std::uint16_t& at,
                   std::uint16_t& count) {
    const ByteView bytes{record, size};
    return std::memcmp(record, "FILE", 4) == 0 && bytes.readU16(4, at) && bytes.readU16(6, count) &&
           count == size / sectorBytes + 1 && bytes.contains(at, std::uint64_t{count} * 2);
}

} // namespace

bool recordSound(const std::uint8_t* record, std::size_t size) {
    std::uint16_t at = 0;
    std::uint16_t count = 0;
    if (size < sectorBytes || !sequenceArray(record, size, at, count)) {
        return false;
    }
    for (std::size_t sector = 1; sector < count; ++sector) {
        if (std::memcmp(record + sector * sectorBytes - 2, record + at, 2) != 0) {
            return false;
        }
    }
    return true;
}

std::vector<MendedRecord> mendSystemRecords(const BytesAt& read, std::uint64_t volumeSize) {
    std::vector<MendedRecord> mended;
    Layout layout;
    if (!readLayout(read, volumeSize, layout)) {
        return mended;
    }
    std::vector<std::uint8_t> record(layout.recordSize);
    std::vector<std::uint8_t> copy(layout.recordSize);
    for (std::uint32_t number = 0; number < systemRecords; ++number) {
        const std::uint64_t offset = layout.mft + std::uint64_t{number} * layout.recordSize;
        if (!read(offset, record.data(), record.size()) ||
            recordSound(record.data(), record.size())) {
            continue;
        }
        if (number < mirroredRecords &&
            read(layout.mirror + std::uint64_t{number} * layout.recordSize, copy.data(),
                 copy.size()) &&
            recordSound(copy.data(), copy.size())) {
            mended.push_back({offset, copy, true});
            continue;
        }
        std::uint16_t at = 0;
        std::uint16_t count = 0;
        if (sequenceArray(record.data(), record.size(), at, count)) {
            for (std::size_t sector = 1; sector < count; ++sector) {
                std::memcpy(record.data() + sector * sectorBytes - 2, record.data() + at, 2);
            }
            mended.push_back({offset, record, false});
        }
    }
    return mended;
}

} // namespace tidewell
