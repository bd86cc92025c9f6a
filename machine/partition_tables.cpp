#include "machine/partition_tables.h"

#include <array>
#include <cstring>

#include "platform/byte_reader.h"
#include "platform/decimal_text.h"
#include "platform/text_format.h"
#include "platform/utf16_text.h"

namespace tidewell {

namespace {

constexpr std::uint32_t gptHeaderMinimum = 92;

std::array<std::uint32_t, 256> crcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

} // namespace

std::uint32_t crc32Of(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = crcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t at = 0; at < size; ++at) {
        c = table[(c ^ data[at]) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

TableState checkGptHeader(const BytesAt& read, std::uint64_t imageSize, std::uint32_t sectorSize,
                          std::uint64_t lba, GptHeader& header, std::wstring& why) {
    header = GptHeader{};
    why.clear();
    std::vector<std::uint8_t> sector(sectorSize);
    if (sectorSize < 512 || lba > imageSize / sectorSize ||
        (lba + 1) * static_cast<std::uint64_t>(sectorSize) > imageSize ||
        !read(lba * sectorSize, sector.data(), sector.size())) {
        return TableState::Absent;
    }
    if (std::memcmp(sector.data(), "EFI PART", 8) != 0) {
        return TableState::Absent;
    }
    const ByteView bytes{sector.data(), sector.size()};
    std::uint32_t headerSize = 0;
    std::uint32_t storedChecksum = 0;
    bytes.readU32(12, headerSize);
    bytes.readU32(16, storedChecksum);
    if (headerSize < gptHeaderMinimum || headerSize > sectorSize) {
        why = L"its GPT header gives a size of " + decimalText(headerSize) + L" bytes";
        return TableState::Damaged;
    }
    std::vector<std::uint8_t> copy(sector.begin(), sector.begin() + headerSize);
    std::memset(copy.data() + 16, 0, 4);
    if (crc32Of(copy.data(), copy.size()) != storedChecksum) {
        why = L"its GPT header does not match its checksum";
        return TableState::Damaged;
    }
    bytes.readU64(24, header.myLba);
    bytes.readU64(32, header.alternateLba);
    bytes.readU64(72, header.entriesLba);
    bytes.readU32(80, header.entries);
    bytes.readU32(84, header.entrySize);
    bytes.readU32(88, header.entriesChecksum);
    const std::uint64_t arrayBytes = std::uint64_t{header.entries} * header.entrySize;
    if (header.entrySize < 128 || header.entrySize % 8 != 0 || header.entrySize > 4096) {
        why = L"its GPT header gives entries of " + decimalText(header.entrySize) + L" bytes";
        return TableState::Damaged;
    }
    if (arrayBytes > maxGptEntryArray || header.entriesLba > imageSize / sectorSize ||
        arrayBytes > imageSize - header.entriesLba * sectorSize) {
        why = L"its GPT header gives " + groupedDecimalText(header.entries) +
              L" entries, which do not fit in the image";
        return TableState::Damaged;
    }
    return TableState::Sound;
}

bool readGptEntries(const BytesAt& read, std::uint64_t imageSize, std::uint32_t sectorSize,
                    const GptHeader& header, std::vector<FoundPartition>& found) {
    found.clear();
    const std::uint64_t arrayBytes = std::uint64_t{header.entries} * header.entrySize;
    if (arrayBytes > maxGptEntryArray || header.entrySize < 128) {
        return false;
    }
    std::vector<std::uint8_t> array(static_cast<std::size_t>(arrayBytes));
    if ((!array.empty() && !read(header.entriesLba * sectorSize, array.data(), array.size())) ||
        crc32Of(array.data(), array.size()) != header.entriesChecksum) {
        return false;
    }
    const ByteView bytes{array.data(), array.size()};
    for (std::uint32_t entry = 0; entry < header.entries; ++entry) {
        const std::uint64_t at = std::uint64_t{entry} * header.entrySize;
        static const std::uint8_t unused[16] = {};
        if (std::memcmp(array.data() + at, unused, 16) == 0) {
            continue;
        }
        std::uint64_t first = 0;
        std::uint64_t last = 0;
        bytes.readU64(at + 32, first);
        bytes.readU64(at + 40, last);
        // The first bound keeps first * sectorSize from overflowing; a
        // partition must start inside the image, not at its end.
        if (last < first || first > imageSize / sectorSize || first * sectorSize >= imageSize) {
            continue;
        }
        FoundPartition partition;
        partition.offset = first * sectorSize;
        // Cut at the image's end, computed so that no product overflows.
        const std::uint64_t room = imageSize - partition.offset;
        const std::uint64_t sectorsAfterFirst = last - first;
        partition.length =
            sectorsAfterFirst >= room / sectorSize ? room : (sectorsAfterFirst + 1) * sectorSize;
        partition.description = utf16leTextTrimmed(array.data() + at + 56, 72);
        found.push_back(partition);
    }
    return true;
}

TableState readMbrEntries(const BytesAt& read, std::uint64_t imageSize,
                          std::vector<FoundPartition>& found, std::wstring& why) {
    found.clear();
    why.clear();
    std::uint8_t sector[512] = {};
    if (imageSize < sizeof sector || !read(0, sector, sizeof sector) || sector[510] != 0x55 ||
        sector[511] != 0xAA) {
        return TableState::Absent;
    }
    // A volume's boot sector ends with the same signature, its boot code
    // where the entries would be: an entry's status is 0x00 or 0x80.
    for (std::size_t entry = 0; entry < 4; ++entry) {
        const std::uint8_t status = sector[446 + entry * 16];
        if (status != 0x00 && status != 0x80) {
            return TableState::Absent;
        }
    }
    const ByteView bytes{sector, sizeof sector};
    std::vector<std::size_t> pastEnd;
    for (std::size_t entry = 0; entry < 4; ++entry) {
        const std::uint64_t at = 446 + entry * 16;
        const std::uint8_t type = sector[at + 4];
        std::uint32_t first = 0;
        std::uint32_t sectors = 0;
        bytes.readU32(at + 8, first);
        bytes.readU32(at + 12, sectors);
        if (type == 0 || type == 0xEE || sectors == 0) {
            continue; // unused, or a GPT disk's protective entry
        }
        const std::uint64_t offset = std::uint64_t{first} * 512;
        if (offset >= imageSize) {
            pastEnd.push_back(entry + 1);
            continue;
        }
        FoundPartition partition;
        partition.offset = offset;
        partition.length =
            std::min<std::uint64_t>(std::uint64_t{sectors} * 512, imageSize - offset);
        partition.description = L"partition type 0x" + hex8Text(type).substr(6);
        found.push_back(partition);
    }
    if (pastEnd.empty()) {
        return TableState::Sound;
    }
    why = pastEnd.size() == 1 ? L"its MBR entry " : L"its MBR entries ";
    for (std::size_t at = 0; at < pastEnd.size(); ++at) {
        why += (at == 0 ? L"" : L", ") + decimalText(pastEnd[at]);
    }
    why += pastEnd.size() == 1 ? L" lies past the image's end" : L" lie past the image's end";
    return TableState::Damaged;
}

} // namespace tidewell
