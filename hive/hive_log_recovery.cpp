#include "hive/hive_log_recovery.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "hive/marvin32.h"

namespace tidewell {

namespace {

constexpr std::uint32_t sector = 512;
constexpr std::uint32_t binAlignment = 4096;
constexpr std::uint32_t entryHeaderSize = 40;

bool startsWith(const ByteView& bytes, std::uint64_t at, const char (&signature)[5]) {
    if (!bytes.contains(at, 4)) {
        return false;
    }
    return std::memcmp(bytes.data + at, signature, 4) == 0;
}

std::uint64_t alignUp(std::uint64_t value, std::uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// An entry's header, its page references and its two hashes. Hash-1 covers
// everything after the 40-byte header, hash-2 the first 32 bytes.
bool readSoundEntry(const ByteView& log, std::uint64_t at, NewLogEntry& entry) {
    std::uint32_t size = 0;
    std::uint64_t hash1 = 0;
    std::uint64_t hash2 = 0;
    if (!log.readU32(at + 4, size) || !log.readU32(at + 12, entry.sequence) ||
        !log.readU32(at + 16, entry.binsSize) || !log.readU32(at + 20, entry.pages) ||
        !log.readU64(at + 24, hash1) || !log.readU64(at + 32, hash2)) {
        return false;
    }
    if (size < entryHeaderSize || size % sector != 0 || !log.contains(at, size) ||
        entry.binsSize == 0 || entry.binsSize % binAlignment != 0 ||
        entryHeaderSize + 8ULL * entry.pages > size) {
        return false;
    }
    entry.bytes = ByteView{log.data + at, size};
    const std::uint8_t* start = entry.bytes.data;
    if (marvin32(start + entryHeaderSize, size - entryHeaderSize, hiveLogHashSeed) != hash1 ||
        marvin32(start, 32, hiveLogHashSeed) != hash2) {
        return false;
    }
    // Every page lies inside the entry and inside the bins it declares.
    std::uint64_t pageBytes = 0;
    for (std::uint32_t i = 0; i < entry.pages; ++i) {
        std::uint32_t offset = 0;
        std::uint32_t pageSize = 0;
        entry.bytes.readU32(entryHeaderSize + 8ULL * i, offset);
        entry.bytes.readU32(entryHeaderSize + 8ULL * i + 4, pageSize);
        if (static_cast<std::uint64_t>(offset) + pageSize > entry.binsSize) {
            return false;
        }
        pageBytes += pageSize;
    }
    return entryHeaderSize + 8ULL * entry.pages + pageBytes <= size;
}

} // namespace

HiveLog inspectHiveLog(const ByteView& bytes) {
    HiveLog log;
    log.bytes = bytes;
    if (!readBaseBlock(bytes, log.base)) {
        return log;
    }
    const HiveBaseBlock& base = log.base;
    const bool oldFormatComplete =
        base.fileType == hiveFileOldLog && base.primarySequence == base.secondarySequence;
    log.sound = base.signatureValid && base.checksumValid &&
                (base.fileType == hiveFileNewLog || oldFormatComplete);
    return log;
}

std::vector<NewLogEntry> readNewLogEntries(const HiveLog& log) {
    std::vector<NewLogEntry> entries;
    for (std::uint64_t at = sector; startsWith(log.bytes, at, "HvLE");) {
        NewLogEntry entry;
        if (!readSoundEntry(log.bytes, at, entry)) {
            break;
        }
        entries.push_back(entry);
        at += entry.bytes.size;
    }
    return entries;
}

void applyNewLogEntry(const NewLogEntry& entry, std::vector<std::uint8_t>& image) {
    image.resize(static_cast<std::size_t>(hiveBaseBlockSize) + entry.binsSize, 0);
    std::uint64_t source = entryHeaderSize + 8ULL * entry.pages;
    for (std::uint32_t i = 0; i < entry.pages; ++i) {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
        entry.bytes.readU32(entryHeaderSize + 8ULL * i, offset);
        entry.bytes.readU32(entryHeaderSize + 8ULL * i + 4, size);
        std::memcpy(image.data() + hiveBaseBlockSize + offset, entry.bytes.data + source, size);
        source += size;
    }
}

bool applyOldLog(const HiveLog& log, std::vector<std::uint8_t>& image) {
    const ByteView& bytes = log.bytes;
    const std::uint32_t binsSize = log.base.binsSize;
    if (binsSize == 0 || binsSize % binAlignment != 0 || !startsWith(bytes, sector, "DIRT")) {
        return false;
    }
    const std::uint64_t bits = binsSize / sector;
    const std::uint64_t bitmapBytes = (bits + 7) / 8;
    if (!bytes.contains(sector + 4, bitmapBytes)) {
        return false;
    }
    const std::uint8_t* bitmap = bytes.data + sector + 4;
    std::uint64_t dirty = 0;
    for (std::uint64_t i = 0; i < bits; ++i) {
        dirty += (bitmap[i / 8] >> (i % 8)) & 1;
    }
    const std::uint64_t pages = alignUp(sector + 4 + bitmapBytes, sector);
    if (!bytes.contains(pages, dirty * sector)) {
        return false; // the log was cut short: apply none of it
    }

    // Each page overwritten is kept, so that a rewrite that leaves a bin
    // unsound can be undone whole.
    const std::size_t originalSize = image.size();
    std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>> undo;
    image.resize(std::max<std::size_t>(image.size(), hiveBaseBlockSize + std::size_t{binsSize}), 0);
    std::uint64_t source = pages;
    for (std::uint64_t i = 0; i < bits; ++i) {
        if (((bitmap[i / 8] >> (i % 8)) & 1) == 0) {
            continue;
        }
        const std::uint64_t target = hiveBaseBlockSize + i * sector;
        undo.emplace_back(target, std::vector<std::uint8_t>(image.begin() + target,
                                                            image.begin() + target + sector));
        std::memcpy(image.data() + target, bytes.data + source, sector);
        source += sector;
    }
    std::vector<std::uint32_t> starts;
    if (!walkBins(image, binsSize, starts)) {
        for (auto& [target, original] : undo) {
            std::memcpy(image.data() + target, original.data(), sector);
        }
        image.resize(originalSize);
        return false;
    }
    return true;
}

bool walkBins(const std::vector<std::uint8_t>& image, std::uint32_t binsSize,
              std::vector<std::uint32_t>& starts) {
    starts.clear();
    if (binsSize == 0 || binsSize % binAlignment != 0 ||
        image.size() < static_cast<std::uint64_t>(hiveBaseBlockSize) + binsSize) {
        return false;
    }
    const ByteView bytes{image.data(), image.size()};
    for (std::uint64_t position = 0; position < binsSize;) {
        const std::uint64_t at = hiveBaseBlockSize + position;
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
        if (!startsWith(bytes, at, "hbin") || !bytes.readU32(at + 4, offset) ||
            !bytes.readU32(at + 8, size) || offset != position || size < binAlignment ||
            size % binAlignment != 0 || position + size > binsSize) {
            return false;
        }
        starts.push_back(static_cast<std::uint32_t>(position));
        position += size;
    }
    return true;
}

} // namespace tidewell
