// The UserAssist source's entry point: every user hive the examined machine
// offers, each read for its UserAssist values.
#pragma once

#include "core/scan_results.h"
#include "machine/examined_machine.h"

namespace tidewell {

// Appends every readable UserAssist record. The running account's own hive
// must hold a UserAssist key, and a scan that could read no user's hive at
// all has read no shell launch record: either counts userAssistUnreadable.
void scanUserAssist(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
