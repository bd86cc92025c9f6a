// Loading a hive file into memory, with its transaction logs applied when
// its last write did not finish. A Windows 8.1 and later hive may keep its
// newest data in its logs for up to an hour, so a reader that ignored them
// would show stale data without saying so; this one applies exactly the log
// entries that continue the hive's sequence and says what it did.
#pragma once

#include <cstdint>
#include <vector>

#include "hive/hive_image.h"
#include "platform/byte_reader.h"

namespace tidewell {

// The largest hive file that is read; a larger one is refused unread.
inline constexpr std::uint64_t maxHiveFileSize = 2ULL * 1024 * 1024 * 1024;

enum class HiveStatus {
    Clean,     // the last write finished: the file is the hive
    Recovered, // dirty, and brought up to date from its logs
    Stale,     // dirty, and its logs absent or unusable: its data may be stale
    TooLarge,  // refused: larger than 2 GiB
    Malformed, // refused: not a hive, or its bins or root key cannot be read
};

struct HiveLoad {
    HiveStatus status = HiveStatus::Malformed;
    // New-format log entries applied, or old-format logs applied whole.
    std::uint32_t logEntriesApplied = 0;
    // The primary file's base block was damaged and a log's copy stood in.
    bool baseBlockFromLog = false;
};

inline bool isReadable(HiveStatus status) {
    return status == HiveStatus::Clean || status == HiveStatus::Recovered ||
           status == HiveStatus::Stale;
}

// Makes image the hive that the primary file and its two logs hold (a log
// that is absent is an empty view). Log files are only read. In a dirty
// hive, a log counts when its base block is sound; the older of two sound
// logs is applied first; of a new-format log only the entries that continue
// the hive's sequence without a gap and carry both right hashes are applied,
// up to the first that does not; a damaged primary base block is replaced by
// the newest sound log's, whose entries alone then apply.
HiveLoad loadHive(std::vector<std::uint8_t> primary, const ByteView& log1, const ByteView& log2,
                  HiveImage& image);

} // namespace tidewell
