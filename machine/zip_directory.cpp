#include "machine/zip_directory.h"

#include <algorithm>

#include "platform/byte_reader.h"

namespace tidewell {

namespace {

constexpr std::uint32_t endSignature = 0x06054B50;
constexpr std::uint32_t zip64LocatorSignature = 0x07064B50;
constexpr std::uint32_t zip64EndSignature = 0x06064B50;
constexpr std::uint32_t entrySignature = 0x02014B50;
constexpr std::uint64_t endSize = 22;
constexpr std::uint64_t entrySize = 46;
// The directory read at most: a million members' entries and names.
constexpr std::uint64_t maxDirectory = 512ULL * 1024 * 1024;

struct Directory {
    std::uint64_t entries = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
};

// The end of central directory record: the last one whose comment reaches
// the end of the file, searched for in the file's last 64 KiB and 22 bytes.
bool findEnd(const BytesAt& read, std::uint64_t zipSize, std::uint64_t& at,
             std::vector<std::uint8_t>& tail) {
    if (zipSize < endSize) {
        return false;
    }
    const std::uint64_t span = std::min<std::uint64_t>(zipSize, endSize + 0xFFFF);
    tail.resize(static_cast<std::size_t>(span));
    if (!read(zipSize - span, tail.data(), tail.size())) {
        return false;
    }
    const ByteView bytes{tail.data(), tail.size()};
    for (std::uint64_t start = span - endSize + 1; start-- > 0;) {
        std::uint32_t signature = 0;
        std::uint16_t comment = 0;
        if (bytes.readU32(start, signature) && signature == endSignature &&
            bytes.readU16(start + 20, comment) && start + endSize + comment == span) {
            at = start;
            return true;
        }
    }
    return false;
}

bool readDirectory(const BytesAt& read, std::uint64_t zipSize, Directory& directory) {
    std::uint64_t at = 0;
    std::vector<std::uint8_t> tail;
    if (!findEnd(read, zipSize, at, tail)) {
        return false;
    }
    const ByteView end{tail.data(), tail.size()};
    std::uint16_t entries = 0;
    std::uint32_t size = 0;
    std::uint32_t offset = 0;
    end.readU16(at + 10, entries);
    end.readU32(at + 12, size);
    end.readU32(at + 16, offset);
    directory = {entries, size, offset};
    if (entries != 0xFFFF && size != 0xFFFFFFFF && offset != 0xFFFFFFFF) {
        return true;
    }
    // Zip64: a locator just before the end record names the larger record.
    const std::uint64_t endAt = zipSize - tail.size() + at;
    std::uint8_t locator[20] = {};
    std::uint8_t record[56] = {};
    std::uint32_t signature = 0;
    std::uint64_t recordAt = 0;
    if (endAt < sizeof locator || !read(endAt - sizeof locator, locator, sizeof locator) ||
        !ByteView{locator, sizeof locator}.readU32(0, signature) ||
        signature != zip64LocatorSignature ||
        !ByteView{locator, sizeof locator}.readU64(8, recordAt) || recordAt > zipSize ||
        sizeof record > zipSize - recordAt || !read(recordAt, record, sizeof record)) {
        return false;
    }
    const ByteView zip64{record, sizeof record};
    return zip64.readU32(0, signature) && signature == zip64EndSignature &&
           zip64.readU64(32, directory.entries) && zip64.readU64(40, directory.size) &&
           zip64.readU64(48, directory.offset);
}

// The zip64 extra field's local header offset, where the entry's own field
// is 0xFFFFFFFF: it follows the sizes the entry also left to it.
bool zip64Offset(const ByteView& extra, bool sizeInExtra, bool compressedInExtra,
                 std::uint64_t& offset) {
    for (std::uint64_t at = 0; at + 4 <= extra.size;) {
        std::uint16_t id = 0;
        std::uint16_t length = 0;
        extra.readU16(at, id);
        extra.readU16(at + 2, length);
        if (id == 0x0001) {
            const std::uint64_t field =
                at + 4 + (sizeInExtra ? 8 : 0) + (compressedInExtra ? 8 : 0);
            return field + 8 <= at + 4 + length && extra.readU64(field, offset);
        }
        at += 4 + std::uint64_t{length};
    }
    return false;
}

} // namespace

bool memberDataOffsets(const BytesAt& read, std::uint64_t zipSize,
                       std::vector<std::uint64_t>& offsets) {
    offsets.clear();
    Directory directory;
    if (!readDirectory(read, zipSize, directory) || directory.size > maxDirectory ||
        directory.offset > zipSize || directory.size > zipSize - directory.offset ||
        directory.entries > directory.size / entrySize) {
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(directory.size));
    if (!bytes.empty() && !read(directory.offset, bytes.data(), bytes.size())) {
        return false;
    }
    const ByteView view{bytes.data(), bytes.size()};
    std::uint64_t at = 0;
    for (std::uint64_t entry = 0; entry < directory.entries; ++entry) {
        std::uint32_t signature = 0;
        std::uint32_t compressed = 0;
        std::uint32_t size = 0;
        std::uint16_t nameLength = 0;
        std::uint16_t extraLength = 0;
        std::uint16_t commentLength = 0;
        std::uint32_t offset = 0;
        if (!view.readU32(at, signature) || signature != entrySignature ||
            !view.readU32(at + 20, compressed) || !view.readU32(at + 24, size) ||
            !view.readU16(at + 28, nameLength) || !view.readU16(at + 30, extraLength) ||
            !view.readU16(at + 32, commentLength) || !view.readU32(at + 42, offset)) {
            offsets.clear();
            return false;
        }
        const std::uint64_t extraAt = at + entrySize + nameLength;
        if (!view.contains(extraAt, std::uint64_t{extraLength} + commentLength)) {
            offsets.clear();
            return false;
        }
        std::uint64_t local = offset;
        if (offset == 0xFFFFFFFF &&
            !zip64Offset(ByteView{bytes.data() + extraAt, extraLength}, size == 0xFFFFFFFF,
                         compressed == 0xFFFFFFFF, local)) {
            offsets.clear();
            return false;
        }
        offsets.push_back(local);
        at = extraAt + extraLength + commentLength;
    }
    return true;
}

} // namespace tidewell
