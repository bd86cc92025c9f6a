// The tables as one stream of bytes: how the process that reads a database
// through the ESE library hands its rows back (platform/isolated_work.h).
// Read back with every length checked, as any outside bytes are.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/byte_reader.h"
#include "srum/srum_tables.h"

namespace tidewell {

void writeSrumTableStream(const SrumTables& tables, std::vector<std::uint8_t>& stream);

// False for a stream that is not whole (cut short, a length past its end,
// bytes left over); the tables are then as far as it went.
bool readSrumTableStream(ByteView stream, SrumTables& tables);

} // namespace tidewell
