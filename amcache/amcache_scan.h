// The Amcache source: the examined machine's
// Windows\AppCompat\Programs\Amcache.hve, read with its transaction logs
// through the hive reader. The
// running Windows holds its own Amcache open and shares it with no reader:
// on this machine that is said, not counted as a failure.
#pragma once

#include "core/scan_results.h"
#include "machine/examined_machine.h"

namespace tidewell {

void scanAmcache(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
