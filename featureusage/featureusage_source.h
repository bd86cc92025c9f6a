// The FeatureUsage source: what the taskbar counts in each user's hive
// (Windows 10 1903 and later, the Explorer key's FeatureUsage): launches from the taskbar
// (AppLaunch), switches to a program (AppSwitched) and its jump list opened (ShowJumpView), a count
// per program and no time but each key's last writing.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource featureUsageSource;

void scanFeatureUsage(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
