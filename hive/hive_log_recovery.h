// Applying a hive's transaction logs to its image in memory: the new format
// (Windows 8.1 and later: "HvLE" entries, each with a sequence number, the
// bins' size, its dirty pages and two Marvin32 hashes) and the old one
// (Windows XP to 8: a base block copy, "DIRT" and a bitmap of dirty 512-byte
// pages, then the pages).
#pragma once

#include <cstdint>
#include <vector>

#include "hive/hive_base_block.h"
#include "platform/byte_reader.h"

namespace tidewell {

// A log with a sound base block, or none.
struct HiveLog {
    ByteView bytes;
    HiveBaseBlock base;
    bool sound = false;
};

HiveLog inspectHiveLog(const ByteView& bytes);

// Applies the new-format entries of log whose sequence number is expected,
// expected + 1 and so on, skipping older entries and stopping at a gap or at
// the first entry that fails a check. The bins' image (base block included)
// and binsSize follow every entry applied; expected ends one past the last.
// Returns false when it stopped for a damaged entry or a gap.
bool applyNewLogEntries(const HiveLog& log, std::vector<std::uint8_t>& image,
                        std::uint32_t& binsSize, std::uint32_t& expected, std::uint32_t& applied);

// Applies an old-format log's dirty pages whole, or nothing when the log is
// cut short or a bin it rewrites would not be a sound bin.
bool applyOldLog(const HiveLog& log, std::vector<std::uint8_t>& image);

// Whether the bins of image up to binsSize are a chain of sound bins;
// starts receives where each begins.
bool walkBins(const std::vector<std::uint8_t>& image, std::uint32_t binsSize,
              std::vector<std::uint32_t>& starts);

} // namespace tidewell
