// The RunMRU source: the commands each user typed into the Run dialog
// (every Windows), newest first as the key's MRUList orders them; only the
// newest has a time, the key's last writing.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource runMruSource;

void scanRunMru(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
