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
    // The logs began above the hive's sequence number (Windows 8.1 and later
    // write a primary file partly without updating its base block): the
    // primary already held what the missing entries brought, and the hive
    // walked cleanly once every entry present was applied.
    bool earlierEntriesMissing = false;
    // Such a replay was made and thrown away because its result did not walk
    // cleanly: the hive is the primary file as it stands, and stale.
    bool replayRefused = false;
    // The primary file's base block was damaged and a log's copy stood in.
    bool baseBlockFromLog = false;
};

// Whether loadHive would look at the logs of this primary file: only a dirty
// hive, or one whose base block cannot be read, has a use for them.
bool hiveNeedsLogs(const ByteView& primary);

inline bool isReadable(HiveStatus status) {
    return status == HiveStatus::Clean || status == HiveStatus::Recovered ||
           status == HiveStatus::Stale;
}

// Makes image the hive that the primary file and its two logs hold (a log
// that is absent is an empty view). Log files are only read. In a dirty
// hive, a log counts when its base block is sound. The new-format entries of
// both logs are applied in sequence order from the hive's secondary sequence
// number on, each log's up to its first entry that fails a check, and up to
// the first gap between two entries; when the first entry present lies above
// the secondary sequence number, the entries are applied all the same, and
// kept only when the result walks cleanly. An old-format log is applied
// whole, the older of two first. A damaged primary base block is replaced by
// the newest sound log's, whose sequence number the entries then continue.
HiveLoad loadHive(std::vector<std::uint8_t> primary, const ByteView& log1, const ByteView& log2,
                  HiveImage& image);

} // namespace tidewell
