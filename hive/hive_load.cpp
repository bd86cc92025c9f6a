#include "hive/hive_load.h"

#include <algorithm>

#include "hive/hive_base_block.h"
#include "hive/hive_cells.h"
#include "hive/hive_log_recovery.h"

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

// Applies one log to the image from the sequence number expected on; the
// base block that describes the result follows. Old-format logs apply only
// to the state they were written against, which their time stamp names.
void applyLog(const HiveLog& log, std::uint64_t stateWritten, std::vector<std::uint8_t>& image,
              HiveBaseBlock& base, std::uint32_t& expected, std::uint32_t& applied, bool& stopped) {
    if (stopped) {
        return;
    }
    if (log.base.fileType == hiveFileNewLog) {
        const std::uint32_t before = applied;
        stopped = !applyNewLogEntries(log, image, base.binsSize, expected, applied);
        if (applied != before) {
            base.primarySequence = base.secondarySequence = expected - 1;
        }
        return;
    }
    if (log.base.lastWritten == stateWritten && applyOldLog(log, image)) {
        base = log.base; // the copy describes the state the pages bring
        ++applied;
        expected = base.primarySequence + 1;
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
    std::uint32_t expected = base.primarySequence;
    std::uint64_t stateWritten = base.lastWritten;
    if (baseDamaged && !sound.empty()) {
        // The newest sound log's copy of the base block stands in, and its
        // entries alone continue from it.
        const HiveLog* newest = sound.back();
        sound.assign(1, newest);
        base = newest->base;
        base.fileType = hiveFilePrimary;
        expected = base.primarySequence;
        ByteView{image.bytes.data(), image.bytes.size()}.readU64(firstBinTimestamp, stateWritten);
        image.bytes.resize(std::max<std::size_t>(image.bytes.size(), hiveBaseBlockSize), 0);
        load.baseBlockFromLog = true;
    } else if (!baseRead || !base.signatureValid) {
        image = HiveImage{}; // no base block to read it by
        load.status = HiveStatus::Malformed;
        return load;
    }

    bool stopped = false;
    for (const HiveLog* log : sound) {
        applyLog(*log, stateWritten, image.bytes, base, expected, load.logEntriesApplied, stopped);
    }
    load.status = load.logEntriesApplied != 0 ? HiveStatus::Recovered : HiveStatus::Stale;
    return finish(load, base, image);
}

} // namespace tidewell
