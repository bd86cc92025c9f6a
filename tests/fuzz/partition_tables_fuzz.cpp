// A raw disk's first bytes in memory, searched for its partition tables as a
// disk image's are before The Sleuth Kit sees them: the GPT header at either
// sector size and its backup at the end, the entries of a sound one, and the
// MBR; and the same bytes as an NTFS volume whose first file records are
// mended. Every partition found and record mended lies inside, and nothing
// is read outside it.
#include <cstdlib>
#include <vector>

#include "machine/ntfs_system_records.h"
#include "machine/partition_tables.h"

namespace {

void checkInside(const std::vector<tidewell::FoundPartition>& found, std::uint64_t size) {
    for (const tidewell::FoundPartition& partition : found) {
        if (partition.offset >= size || partition.length > size - partition.offset) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    const BytesAt read = bytesInMemory(data, size);
    std::vector<FoundPartition> found;
    std::wstring why;
    for (const std::uint32_t sectorSize : {512u, 4096u}) {
        for (const std::uint64_t lba : {std::uint64_t{1}, size / sectorSize - 1}) {
            GptHeader header;
            if (checkGptHeader(read, size, sectorSize, lba, header, why) == TableState::Sound &&
                readGptEntries(read, size, sectorSize, header, found)) {
                checkInside(found, size);
            }
        }
    }
    readMbrEntries(read, size, found, why);
    checkInside(found, size);
    // The same bytes as a volume whose system file records are mended.
    for (const MendedRecord& record : mendSystemRecords(read, size)) {
        if (record.offset > size || record.bytes.size() > size - record.offset ||
            !recordSound(record.bytes.data(), record.bytes.size())) {
            std::abort();
        }
    }
    return 0;
}
