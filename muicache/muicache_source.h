// The MUICache source: the names the shell read from programs' resources
// to show them (Vista and later in each user's classes hive, Local
// Settings\Software\Microsoft\Windows\Shell\MuiCache; Windows XP in the
// user's hive, ShellNoRoam\MUICache): a program's path with its
// description and company, which a renamed program cannot hide. No time.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource muiCacheSource;

void scanMuiCache(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
