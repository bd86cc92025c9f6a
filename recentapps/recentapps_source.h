// The RecentApps source (Windows 10 1607 to 1709): each user's
// Search\RecentApps key, a subkey per program with its id, path, launch
// count and last launch, and the files it opened (RecentItems) with their
// times.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource recentAppsSource;

void scanRecentApps(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
