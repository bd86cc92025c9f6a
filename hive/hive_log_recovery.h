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

// One sound new-format entry: its place in its log and what its header says.
struct NewLogEntry {
    ByteView bytes; // the whole entry, header included
    std::uint32_t sequence = 0;
    std::uint32_t binsSize = 0;
    std::uint32_t pages = 0;
};

// The entries of a new-format log in the order the log holds them, up to the
// first that fails a check (a later one cannot be trusted to follow it).
std::vector<NewLogEntry> readNewLogEntries(const HiveLog& log);

// Writes an entry's pages into the image (base block included), grown or cut
// to the bins' size the entry records.
void applyNewLogEntry(const NewLogEntry& entry, std::vector<std::uint8_t>& image);

// Applies an old-format log's dirty pages whole, or nothing when the log is
// cut short or a bin it rewrites would not be a sound bin.
bool applyOldLog(const HiveLog& log, std::vector<std::uint8_t>& image);

// Whether the bins of image up to binsSize are a chain of sound bins;
// starts receives where each begins.
bool walkBins(const std::vector<std::uint8_t>& image, std::uint32_t binsSize,
              std::vector<std::uint32_t>& starts);

} // namespace tidewell
