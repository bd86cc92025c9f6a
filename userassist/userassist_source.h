// The UserAssist source: the values the shell writes in each user's hive
// when the user launches something from the desktop, the Start menu or
// Explorer, read from every user hive the examined machine offers.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource userAssistSource;

// Appends every readable UserAssist record. The running account's own hive
// must hold a UserAssist key, and a scan that could read no user's hive at
// all has read no shell launch record: either counts userAssistUnreadable.
void scanUserAssist(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
