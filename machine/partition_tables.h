// The two partition tables of a PC disk checked before The Sleuth Kit reads
// them: the GPT header (its signature, its checksum, and an entry array that
// lies inside the image and within a sane size) and the MBR's four primary
// entries. A table that fails is never handed on: a GPT header whose entry
// count runs far past the image makes the library walk it for minutes, and
// one MBR entry past the image's end makes it drop the table whole. What can
// still be found in such a table is read here instead, and the damage said.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/bytes_at.h"

namespace tidewell {

// The largest entry array read: Windows writes 128 entries of 128 bytes.
inline constexpr std::uint64_t maxGptEntryArray = 4ULL * 1024 * 1024;

struct GptHeader {
    std::uint64_t myLba = 0;
    std::uint64_t alternateLba = 0;
    std::uint64_t entriesLba = 0;
    std::uint32_t entries = 0;
    std::uint32_t entrySize = 0;
    std::uint32_t entriesChecksum = 0;
};

enum class TableState {
    Absent,  // no such table here
    Sound,   // every check passed
    Damaged, // the table is there, but a check failed (why says which)
};

// The GPT header at lba, for disks of sectorSize bytes a sector.
TableState checkGptHeader(const BytesAt& read, std::uint64_t imageSize, std::uint32_t sectorSize,
                          std::uint64_t lba, GptHeader& header, std::wstring& why);

// A partition a table names, where the table could not be left to the
// library.
struct FoundPartition {
    std::uint64_t offset = 0;
    std::uint64_t length = 0; // cut at the image's end
    std::wstring description;
};

// The used entries of a sound header's array; false when the array cannot
// be read or fails its checksum.
bool readGptEntries(const BytesAt& read, std::uint64_t imageSize, std::uint32_t sectorSize,
                    const GptHeader& header, std::vector<FoundPartition>& found);

// The MBR's primary entries that begin inside the image; Absent without the
// boot signature. Damaged (and why) when an entry lies past the image's end.
TableState readMbrEntries(const BytesAt& read, std::uint64_t imageSize,
                          std::vector<FoundPartition>& found, std::wstring& why);

// The CRC-32 of IEEE 802.3, as GPT checksums its header and entries.
std::uint32_t crc32Of(const std::uint8_t* data, std::size_t size);

} // namespace tidewell
