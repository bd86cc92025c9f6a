#include "hive/hive_load.h"

#include <algorithm>

#include "hive/hive_base_block.h"
#include "hive/hive_cells.h"
#include "hive/hive_log_recovery.h"
#include "hive/hive_walk.h"

namespace tidewell {

namespace {

constexpr std::uint64_t firstBinTimestamp = hiveBaseBlockSize + 20;

// The sound logs, the older first (a tie keeps LOG1 first).
std::vector<const HiveLog*> soundLogsOldestFirst(const HiveLog (&logs)[2]) {
    std::vector<const HiveLog*> sound;
    for (const HiveLog& log : logs) {
        if (log.sound) {
            sound.push_back(&log);
        }
    }
    std::stable_sort(sound.begin(), sound.end(), [](const HiveLog* a, const HiveLog* b) {
        return a->base.primarySequence < b->base.primarySequence;
    });
    return sound;
}

// Old-format logs apply only to the state they were written against, which
// their time stamp names; the copy of the base block they carry describes
// the state their pages bring.
void applyOldLogs(const std::vector<const HiveLog*>& logs, std::uint64_t stateWritten,
                  std::vector<std::uint8_t>& image, HiveBaseBlock& base, HiveLoad& load) {
    for (const HiveLog* log : logs) {
        if (log->base.fileType != hiveFileNewLog && log->base.lastWritten == stateWritten &&
            applyOldLog(*log, image)) {
            base = log->base;
            ++load.logEntriesApplied;
            return;
        }
    }
}

// Every sound new-format entry of the logs from sequence number from on,
// in sequence order. An entry older than from was written to the primary
// file already; replaying it would turn the hive back.
std::vector<NewLogEntry> entriesFrom(const std::vector<const HiveLog*>& logs, std::uint32_t from) {
    std::vector<NewLogEntry> entries;
    for (const HiveLog* log : logs) {
        if (log->base.fileType != hiveFileNewLog) {
            continue;
        }
        for (const NewLogEntry& entry : readNewLogEntries(*log)) {
            if (entry.sequence >= from) {
                entries.push_back(entry);
            }
        }
    }
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const NewLogEntry& a, const NewLogEntry& b) { return a.sequence < b.sequence; });
    return entries;
}

// Applies the entries one after the other from the first, up to the first
// gap between two of them.
void applyInSequence(const std::vector<NewLogEntry>& entries, std::vector<std::uint8_t>& image,
                     HiveBaseBlock& base, HiveLoad& load) {
    if (entries.empty()) {
        return;
    }
    std::uint64_t expected = entries.front().sequence;
    for (const NewLogEntry& entry : entries) {
        if (entry.sequence + 1ULL == expected) {
            continue; // the same entry in both logs
        }
        if (entry.sequence != expected) {
            break; // the entries between are missing
        }
        applyNewLogEntry(entry, image);
        base.binsSize = entry.binsSize;
        base.primarySequence = base.secondarySequence = entry.sequence;
        ++load.logEntriesApplied;
        ++expected;
    }
}

HiveLoad finish(HiveLoad load, const HiveBaseBlock& base, HiveImage& image) {
    image.rootCell = base.rootCell;
    image.binsSize = base.binsSize;
    image.minorVersion = base.minorVersion;
    KeyNode root;
    if (!walkBins(image.bytes, image.binsSize, image.binStarts) ||
        !readKeyNode(image, image.rootCell, root)) {
        image = HiveImage{};
        load.status = HiveStatus::Malformed;
    }
    return load;
}

} // namespace

bool hiveNeedsLogs(const ByteView& primary) {
    HiveBaseBlock base;
    if (primary.size > maxHiveFileSize) {
        return false; // refused unread
    }
    return primary.size < hiveBaseBlockSize || !readBaseBlock(primary, base) || isDirty(base);
}

HiveLoad loadHive(std::vector<std::uint8_t> primary, const ByteView& log1, const ByteView& log2,
                  HiveImage& image) {
    image = HiveImage{};
    HiveLoad load;
    if (primary.size() > maxHiveFileSize) {
        load.status = HiveStatus::TooLarge;
        return load;
    }
    HiveBaseBlock base;
    const bool baseRead = primary.size() >= hiveBaseBlockSize &&
                          readBaseBlock(ByteView{primary.data(), primary.size()}, base);
    const bool baseDamaged = !baseRead || !base.signatureValid || !base.checksumValid;
    image.bytes = std::move(primary);

    if (baseRead && !isDirty(base)) {
        load.status = HiveStatus::Clean;
        return finish(load, base, image);
    }

    const HiveLog logs[2] = {inspectHiveLog(log1), inspectHiveLog(log2)};
    std::vector<const HiveLog*> sound = soundLogsOldestFirst(logs);
    std::uint64_t stateWritten = base.lastWritten;
    if (baseDamaged && !sound.empty()) {
        // The newest sound log's copy of the base block stands in, and the
        // entries continue from it.
        base = sound.back()->base;
        base.fileType = hiveFilePrimary;
        ByteView{image.bytes.data(), image.bytes.size()}.readU64(firstBinTimestamp, stateWritten);
        image.bytes.resize(std::max<std::size_t>(image.bytes.size(), hiveBaseBlockSize), 0);
        load.baseBlockFromLog = true;
    } else if (!baseRead || !base.signatureValid) {
        image = HiveImage{}; // no base block to read it by
        load.status = HiveStatus::Malformed;
        return load;
    }

    applyOldLogs(sound, stateWritten, image.bytes, base, load);
    const std::uint32_t from = base.secondarySequence;
    const std::vector<NewLogEntry> entries = entriesFrom(sound, from);
    const bool missing = !entries.empty() && entries.front().sequence != from;
    // Only a replay over missing entries can be refused, and so only then is
    // the file as it stands kept aside.
    std::vector<std::uint8_t> onDisk;
    const HiveBaseBlock onDiskBase = base;
    const HiveLoad onDiskLoad = load;
    if (missing) {
        onDisk = image.bytes;
    }
    applyInSequence(entries, image.bytes, base, load);
    load.status = load.logEntriesApplied != 0 ? HiveStatus::Recovered : HiveStatus::Stale;
    load.earlierEntriesMissing = missing && load.logEntriesApplied != onDiskLoad.logEntriesApplied;
    load = finish(load, base, image);
    if (load.earlierEntriesMissing &&
        (load.status == HiveStatus::Malformed || !hiveWalksCleanly(image))) {
        image = HiveImage{};
        image.bytes = std::move(onDisk);
        load = onDiskLoad;
        load.status = load.logEntriesApplied != 0 ? HiveStatus::Recovered : HiveStatus::Stale;
        load.replayRefused = true;
        return finish(load, onDiskBase, image);
    }
    return load;
}

} // namespace tidewell
