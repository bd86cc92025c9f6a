// The first file records of an NTFS volume ($MFT, $MFTMirr, $LogFile,
// $Volume, ... up to record 15), checked before The Sleuth Kit opens the
// volume: it will not open a volume one of them fails in, so a single
// damaged byte there (the sector's copy of the update sequence number, torn
// by a write that did not finish) would make the whole volume hold nothing.
// A damaged record among the first four is taken from the volume's mirror
// of them where that copy is sound; any other whose only fault is its
// sectors' update sequence numbers is given back its own; the rest are left
// as they are. Each mended record is counted, never passed off as whole.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/bytes_at.h"

namespace tidewell {

// A record's bytes to be read in place of the volume's own, at offset.
struct MendedRecord {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> bytes;
    bool fromMirror = false;
};

// The system records of the NTFS volume that fail their update sequence
// check, mended; none where the volume is no NTFS or all are sound.
std::vector<MendedRecord> mendSystemRecords(const BytesAt& read, std::uint64_t volumeSize);

// Whether a file record passes its update sequence check: "FILE", and each
// 512-byte sector ending in the update sequence number.
bool recordSound(const std::uint8_t* record, std::size_t size);

} // namespace tidewell
