// Where each member's data begins in a zip, read from the zip's own central
// directory: libzip reads the same directory but does not say. Two members
// that name one local header share one stream of data, which no archiver
// writes and an attacker does to make one stream read many times over.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tidewell {

// Reads length bytes at offset of the zip; false when they cannot be had.
using ZipBytes =
    std::function<bool(std::uint64_t offset, std::uint8_t* buffer, std::size_t length)>;

// The local header offset of every central directory entry, in the
// directory's order (zip64 offsets included); false, and nothing, where the
// directory cannot be found or read whole.
bool memberDataOffsets(const ZipBytes& read, std::uint64_t zipSize,
                       std::vector<std::uint64_t>& offsets);

} // namespace tidewell
