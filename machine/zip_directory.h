// Where each member's data begins in a zip, read from the zip's own central
// directory: libzip reads the same directory but does not say. Two members
// that name one local header share one stream of data, which no archiver
// writes and an attacker does to make one stream read many times over.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/bytes_at.h"

namespace tidewell {

// The local header offset of every central directory entry, in the
// directory's order (zip64 offsets included); false, and nothing, where the
// directory cannot be found or read whole.
bool memberDataOffsets(const BytesAt& read, std::uint64_t zipSize,
                       std::vector<std::uint64_t>& offsets);

} // namespace tidewell
