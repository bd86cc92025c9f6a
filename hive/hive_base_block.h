// The base block that begins every hive file and every transaction log: the
// signature "regf", the two sequence numbers that say whether the last write
// finished, where the root key is and how large the bins are, and an XOR
// checksum over its first 508 bytes.
#pragma once

#include <cstdint>

#include "platform/byte_reader.h"

namespace tidewell {

inline constexpr std::uint32_t hiveBaseBlockSize = 4096;
// A log holds only the first sector of its base block.
inline constexpr std::uint32_t hiveLogBaseBlockSize = 512;

enum HiveFileType : std::uint32_t {
    hiveFilePrimary = 0,
    hiveFileOldLog = 1, // Windows XP to 8: a dirty vector and its pages
    hiveFileNewLog = 6, // Windows 8.1 and later: signed log entries
};

struct HiveBaseBlock {
    bool signatureValid = false;
    bool checksumValid = false;
    std::uint32_t primarySequence = 0;
    std::uint32_t secondarySequence = 0;
    std::uint64_t lastWritten = 0; // FILETIME
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileFormat = 0;
    std::uint32_t rootCell = 0; // relative to the bins
    std::uint32_t binsSize = 0;
};

// The checksum as Windows stores it: the XOR of the first 127 little-endian
// words, with 0xFFFFFFFF stored as 0xFFFFFFFE and 0 as 1.
std::uint32_t baseBlockChecksum(const ByteView& bytes);

// False when fewer than 512 bytes are there.
bool readBaseBlock(const ByteView& bytes, HiveBaseBlock& block);

// A hive is dirty when its last write did not finish (the sequence numbers
// differ) or its base block does not match its checksum.
inline bool isDirty(const HiveBaseBlock& block) {
    return !block.checksumValid || block.primarySequence != block.secondarySequence;
}

} // namespace tidewell
