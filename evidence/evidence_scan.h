// One whole scan of an evidence root, a copy of another Windows machine's
// system drive: its Prefetch folder, its SYSTEM and SOFTWARE hives for the
// facts, and the NTUSER.DAT of every profile its profile list names (or, with
// no readable list, of every folder under Users), each read with its logs.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"
#include "core/scan_tally.h"

namespace tidewell {

// Fills empty records, tally, facts and origin from the evidence at root.
void scanEvidence(const std::wstring& root, RecordList& records, ScanTally& tally, ScanFacts& facts,
                  ScanOrigin& origin);

} // namespace tidewell
