#include "prefetch/prefetch_parser.h"

#include <algorithm>
#include <functional>

#include "platform/byte_reader.h"
#include "platform/possible_date.h"
#include "platform/system_clock.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_layout.h"
#include "prefetch/prefetch_source.h"

namespace tidewell {

namespace {

constexpr std::uint32_t sccaSignature = 0x41434353; // "SCCA" read little-endian
constexpr std::uint64_t smallestHeader = 84;
constexpr std::uint64_t nameOffset = 16;
constexpr unsigned nameUnits = 30;
constexpr unsigned truncatedNameLength = 29;
constexpr std::uint64_t volumeEntryMinimum = 24;
constexpr std::uint32_t implausibleRunCount = 100000000;

// Version 30 came in two header variants whose metrics array starts at these
// offsets; they tell which of the two run-count positions is the real one.
constexpr std::uint32_t metricsOffsetCountAt208 = 304;
constexpr std::uint32_t metricsOffsetCountAt200 = 296;
constexpr std::uint64_t recordedPathOffsetField = 212;

bool isPlausible(std::uint32_t count, std::size_t runTimesKept) {
    return count >= runTimesKept && count < implausibleRunCount;
}

std::wstring readName(const ByteView& bytes) {
    std::wstring name;
    for (unsigned i = 0; i < nameUnits; ++i) {
        std::uint16_t unit = 0;
        bytes.readU16(nameOffset + 2ULL * i, unit); // inside the 84-byte header
        if (unit == 0) {
            break;
        }
        name.push_back(static_cast<wchar_t>(unit));
    }
    return name;
}

// The file-name strings: NUL-separated UTF-16 strings. Returns false when the
// section is declared but cannot be read (a problem to count); an absent
// section (offset and size both 0) is no problem.
bool readReferencedFiles(const ByteView& bytes, std::vector<std::wstring>& files) {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    bytes.readU32(100, offset);
    bytes.readU32(104, size);
    if (offset == 0 && size == 0) {
        return true;
    }
    if (offset == 0 || size == 0 || size % 2 != 0 || !bytes.contains(offset, size)) {
        return false;
    }
    // Each name is found whole (to its NUL) and then made at its size.
    const std::uint8_t* units = bytes.data + offset;
    const std::uint64_t count = size / 2;
    const auto unitAt = [units](std::uint64_t i) {
        return static_cast<wchar_t>(units[2 * i] | (units[2 * i + 1] << 8));
    };
    std::size_t names = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        names += unitAt(i) == 0 && (i == 0 || unitAt(i - 1) != 0) ? 1 : 0;
    }
    files.reserve(files.size() + names + 1);
    std::uint64_t start = 0;
    while (start < count) {
        std::uint64_t end = start;
        while (end < count && unitAt(end) != 0) {
            ++end;
        }
        if (end != start) {
            std::wstring& name = files.emplace_back(static_cast<std::size_t>(end - start), L'\0');
            for (std::uint64_t i = start; i < end; ++i) {
                name[static_cast<std::size_t>(i - start)] = unitAt(i);
            }
        }
        start = end + 1;
    }
    return true;
}

// UTF-16 units from offset, at most maxUnits of them, up to the first NUL.
// False when they do not lie inside the image.
bool readText(const ByteView& bytes, std::uint64_t offset, std::uint64_t maxUnits,
              std::wstring& text) {
    text.clear();
    if (!bytes.contains(offset, 2 * maxUnits)) {
        return false;
    }
    for (std::uint64_t i = 0; i < maxUnits; ++i) {
        std::uint16_t unit = 0;
        bytes.readU16(offset + 2 * i, unit);
        if (unit == 0) {
            break;
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return true;
}

// Every entry of the volume block: its device path (placed relative to the
// block, its length in characters), creation time and serial. Returns false
// when an entry or its path lies outside the image; the entries read before
// it are kept, and one whose path is outside keeps its other fields.
bool readVolumeEntries(const ByteView& bytes, std::uint64_t blockOffset, std::uint32_t count,
                       std::uint32_t entrySize, std::vector<PrefetchVolume>& volumes) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = blockOffset + static_cast<std::uint64_t>(i) * entrySize;
        if (!bytes.contains(entry, entrySize)) {
            return false;
        }
        PrefetchVolume volume;
        std::uint32_t pathOffset = 0;
        std::uint32_t pathLength = 0;
        bytes.readU32(entry, pathOffset);
        bytes.readU32(entry + 4, pathLength);
        bytes.readU64(entry + 8, volume.created);
        bytes.readU32(entry + 16, volume.serial);
        const bool pathRead =
            readText(bytes, blockOffset + pathOffset, pathLength, volume.devicePath);
        volumes.push_back(std::move(volume));
        if (!pathRead) {
            return false;
        }
    }
    return true;
}

// The volume block. Returns false for a declared block that cannot be read
// in full; no block at all (count or offset 0) is no problem. The first
// entry's creation time and serial need only 24 bytes per declared entry.
bool readVolumeBlock(const ByteView& bytes, const PrefetchLayout& layout,
                     PrefetchDetails& details) {
    std::uint32_t offset = 0;
    std::uint32_t count = 0;
    std::uint32_t size = 0;
    bytes.readU32(108, offset);
    bytes.readU32(112, count);
    bytes.readU32(116, size);
    if (count == 0 || offset == 0) {
        return true;
    }
    const bool usable = size >= volumeEntryMinimum &&
                        static_cast<std::uint64_t>(count) * volumeEntryMinimum <= size &&
                        bytes.contains(offset, size) && bytes.contains(offset, volumeEntryMinimum);
    if (!usable) {
        return false;
    }
    bytes.readU64(static_cast<std::uint64_t>(offset) + 8, details.volumeCreated);
    bytes.readU32(static_cast<std::uint64_t>(offset) + 16, details.volumeSerial);
    details.volumeCount = count;
    return readVolumeEntries(bytes, offset, count, layout.volumeEntrySize, details.volumes);
}

// Windows 10's second version-30 layout and version 31 record the program's
// own path: its offset at 212, its size in bytes (the NUL and padding
// included) at 216. Anything unreadable leaves the record without one.
void readRecordedPath(const ByteView& bytes, std::uint32_t version, std::uint32_t metricsOffset,
                      PrefetchDetails& details) {
    if (version != 31 && !(version == 30 && metricsOffset == metricsOffsetCountAt200)) {
        return;
    }
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    if (!bytes.readU32(recordedPathOffsetField, offset) ||
        !bytes.readU32(recordedPathOffsetField + 4, size) || offset == 0 || size < 2 ||
        !readText(bytes, offset, size / 2, details.recordedPath)) {
        details.recordedPath.clear();
    }
}

} // namespace

std::optional<std::uint32_t> chooseRunCount(std::uint32_t version, std::uint32_t mainCount,
                                            std::uint32_t alternateCount,
                                            std::uint32_t metricsOffset, std::size_t runTimesKept) {
    const bool mainPlausible = isPlausible(mainCount, runTimesKept);
    if (version != 30) {
        return mainPlausible ? std::optional<std::uint32_t>(mainCount) : std::nullopt;
    }
    const bool alternatePlausible = isPlausible(alternateCount, runTimesKept);
    if (mainPlausible && (!alternatePlausible || alternateCount == mainCount)) {
        return mainCount;
    }
    if (mainPlausible) { // both plausible and different: the header variant decides
        if (metricsOffset == metricsOffsetCountAt208) {
            return mainCount;
        }
        if (metricsOffset == metricsOffsetCountAt200) {
            return alternateCount;
        }
        return std::nullopt;
    }
    return alternatePlausible ? std::optional<std::uint32_t>(alternateCount) : std::nullopt;
}

bool parsePrefetch(const std::uint8_t* image, std::size_t size, const std::wstring& filePath,
                   LaunchRecord& record, ScanTally& tally) {
    return parsePrefetchAt(image, size, filePath, record, tally, currentSystemFileTime());
}

bool parsePrefetchAt(const std::uint8_t* image, std::size_t size, const std::wstring& filePath,
                     LaunchRecord& record, ScanTally& tally, FileTime now) {
    const ByteView bytes{image, size};
    std::uint32_t signature = 0;
    if (image == nullptr || size < smallestHeader || !bytes.readU32(4, signature) ||
        signature != sccaSignature) {
        ++tally[prefetchMalformed];
        return false;
    }

    std::uint32_t version = 0;
    bytes.readU32(0, version);
    const PrefetchLayout* layout = findPrefetchLayout(version);
    if (layout == nullptr) {
        ++tally[prefetchUnknownVersion];
        return false;
    }

    std::uint32_t declaredSize = 0;
    bytes.readU32(12, declaredSize);
    if (size < layout->minimumImageSize || declaredSize != size) {
        ++tally[prefetchMalformed];
        return false;
    }

    // Run times are checked before anything is kept: one impossible date
    // means the file cannot be trusted as a whole.
    std::vector<FileTime> runTimes;
    for (std::uint32_t slot = 0; slot < layout->runTimeSlots; ++slot) {
        FileTime value = 0;
        bytes.readU64(static_cast<std::uint64_t>(layout->runTimeOffset) + 8ULL * slot, value);
        if (value == 0) {
            continue;
        }
        if (!isPossibleDate(value, now)) {
            ++tally[prefetchMalformed];
            return false;
        }
        runTimes.push_back(value);
    }

    record = makeRecord(prefetchSource);
    PrefetchDetails& details = *prefetchDetails(record);
    details.formatVersion = version;
    record.recordFile = filePath;
    record.name = readName(bytes);
    details.nameTruncated = record.name.size() >= truncatedNameLength ? 1 : 0;
    bytes.readU32(76, details.pathHash);
    record.runTimes = std::move(runTimes);

    std::uint32_t mainCount = 0;
    std::uint32_t alternateCount = 0;
    std::uint32_t metricsOffset = 0;
    bytes.readU32(layout->runCountOffset, mainCount);
    if (layout->alternateRunCountOffset != 0) {
        bytes.readU32(layout->alternateRunCountOffset, alternateCount);
    }
    bytes.readU32(84, metricsOffset);
    const std::optional<std::uint32_t> runCount =
        chooseRunCount(version, mainCount, alternateCount, metricsOffset, record.runTimes.size());
    if (runCount) {
        record.runCount = *runCount;
        record.runCountKnown = 1;
    } else {
        ++tally[prefetchRunCountUnverified];
    }

    const bool filesReadable = readReferencedFiles(bytes, details.referencedFiles);
    if (!filesReadable) {
        details.referencedFiles.clear();
    }
    const bool volumeReadable = readVolumeBlock(bytes, *layout, details);
    readRecordedPath(bytes, version, metricsOffset, details);
    if (!filesReadable || !volumeReadable) {
        ++tally[prefetchListOutside];
    }
    // Windows writes the newest run first; times that do not stand so mean
    // that the clock went back between runs (a correction at start-up, a
    // virtual machine restored from a snapshot), or that the file was altered.
    if (!std::is_sorted(record.runTimes.begin(), record.runTimes.end(), std::greater<>())) {
        details.runTimesOutOfOrder = 1;
        ++tally[prefetchRunTimesOutOfOrder];
    }
    ++tally[prefetchParsed];
    return true;
}

} // namespace tidewell
