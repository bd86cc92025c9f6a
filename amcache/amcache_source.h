// The Amcache source: the examined machine's
// Windows\AppCompat\Programs\Amcache.hve, read with its transaction logs
// through the hive reader. Windows inventoried the file (installed, scanned
// or run) and last wrote its entry at a time; not each run. The running
// Windows holds its own Amcache open and shares it with no reader: on this
// machine that is said, not counted as a failure.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource amcacheSource;

void scanAmcache(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
