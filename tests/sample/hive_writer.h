// Writes registry hive files and their transaction logs, field by field, so
// that every rule of the hive reader has a hive made for it: keys and values
// of any type, big data, each kind of subkey list, and hives left dirty with
// a new-format or an old-format log. For tests, fuzz seeds and benchmarks;
// the product never links it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tidewell::sample {

enum class SubkeyListKind {
    IndexLeaf, // "li": offsets only
    FastLeaf,  // "lf": offsets and the names' first four characters
    HashLeaf,  // "lh": offsets and the names' hashes
    IndexRoot, // "ri": a list of hash leaves of at most rootLeafSize subkeys each
};

struct HiveValueSpec {
    std::wstring name;
    std::uint32_t type = 3; // REG_BINARY
    std::vector<std::uint8_t> data;
};

struct HiveKeySpec {
    std::wstring name;
    std::vector<HiveValueSpec> values;
    std::vector<HiveKeySpec> subkeys; // written in this order
    SubkeyListKind listKind = SubkeyListKind::HashLeaf;
    std::uint32_t rootLeafSize = 500;
};

struct HiveSpec {
    HiveKeySpec root{L"ROOT", {}, {}, SubkeyListKind::HashLeaf, 500};
    std::uint32_t minorVersion = 5;
    std::uint32_t sequence = 10; // both sequence numbers: a clean hive
    std::uint64_t lastWritten = 0x01D9A1B2C3D4E5F6ULL;
};

// Where the writer put each record (offsets in the bins), for tests that
// damage one. Keys are named by their path below the root ("" for the
// root), values by the key's path, a colon and the value's name.
struct HiveLayout {
    std::map<std::wstring, std::uint32_t> keyCells;
    std::map<std::wstring, std::uint32_t> subkeyLists;
    std::map<std::wstring, std::uint32_t> valueLists;
    std::map<std::wstring, std::uint32_t> valueCells;
    std::map<std::wstring, std::uint32_t> dataCells; // the "db" record for big data
};

// Names of only ASCII characters are stored one byte each, as Windows
// stores them; any other name as UTF-16LE. Values above 16,344 bytes become
// big data in hives of minor version 4 and up.
std::vector<std::uint8_t> writeHive(const HiveSpec& spec, HiveLayout* layout = nullptr);

// Sets both sequence numbers of a hive file's or log's base block (primary
// at 4, secondary at 8) and stores its checksum again.
void setSequenceNumbers(std::vector<std::uint8_t>& file, std::uint32_t primary,
                        std::uint32_t secondary);
// Stores the checksum of the base block's first 508 bytes at 508.
void resealBaseBlock(std::vector<std::uint8_t>& file);

struct HivePage {
    std::uint32_t offset = 0; // in the bins
    std::vector<std::uint8_t> bytes;
};

// The pages of after's bins that differ from before's (pageSize bytes each,
// and every page past the end of before's bins).
std::vector<HivePage> changedPages(const std::vector<std::uint8_t>& before,
                                   const std::vector<std::uint8_t>& after,
                                   std::uint32_t pageSize = 4096);

struct HiveLogEntrySpec {
    std::uint32_t sequence = 0;
    std::uint32_t binsSize = 0;
    std::vector<HivePage> pages;
};

// A new-format log: the first sector of hiveFile's base block with file
// type 6 and both sequence numbers logSequence, then the entries, each at a
// 512-byte boundary and signed with its two hashes.
std::vector<std::uint8_t> writeNewFormatLog(const std::vector<std::uint8_t>& hiveFile,
                                            std::uint32_t logSequence,
                                            const std::vector<HiveLogEntrySpec>& entries);

// Where writeNewFormatLog put each entry, for tests that damage one.
std::vector<std::size_t> newFormatLogEntryOffsets(const std::vector<std::uint8_t>& log);

// An old-format log that brings before to after: after's first base block
// sector with file type 1, "DIRT" and the bitmap of the 512-byte pages of
// the bins that differ, then those pages.
std::vector<std::uint8_t> writeOldFormatLog(const std::vector<std::uint8_t>& before,
                                            const std::vector<std::uint8_t>& after);

} // namespace tidewell::sample
