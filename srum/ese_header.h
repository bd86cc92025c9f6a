// The header page of an ESE database (the engine behind SRUDB.dat): whether
// it was shut down cleanly, and whether its checksum is right. Windows
// before 11 sums the header's first 668 bytes; Windows 11 writes data past
// them and sums the whole page, which older readers refuse as a mismatch.
// A header right either way is sound; where only the whole page agrees, the
// bytes handed to such a reader carry the first sum in its place.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/byte_reader.h"

namespace tidewell {

inline constexpr std::uint32_t eseSignature = 0x89abcdef;

enum class EseState : std::uint32_t {
    JustCreated = 1,
    DirtyShutdown = 2,
    CleanShutdown = 3,
    BeingConverted = 4,
    ForceDetach = 5,
};

enum class EseChecksum : std::uint8_t {
    Agrees,    // over the header's first 668 bytes, as every reader sums it
    WholePage, // over the whole page only, as Windows 11 sums it
    Wrong,     // neither
};

struct EseHeader {
    bool signature = false; // the page carries the database signature
    std::uint32_t state = 0;
    std::uint32_t pageSize = 0;
    EseChecksum checksum = EseChecksum::Wrong;
};

// The header at the start of the bytes; a header that is not there (too
// short, no signature) has signature false and a wrong checksum.
EseHeader readEseHeader(ByteView bytes);

// Whether the state is that of a database shut down cleanly.
bool eseShutDownCleanly(std::uint32_t state);

// The database keeps its header twice: on its first page and, as a backup,
// on its second. Where a copy's checksum agrees over its whole page only,
// writes the sum of its first 668 bytes in that checksum's place, so that a
// reader summing those alone accepts the same header; true where a copy was
// so matched, false (bytes unchanged) where none was or where the first
// copy is wrong both ways.
bool matchEseHeaderChecksum(std::vector<std::uint8_t>& bytes);

} // namespace tidewell
