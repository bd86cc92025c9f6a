// The Prefetch source's entry point: the examined machine's Prefetch folder,
// every file of it read, and each record given its path once every file has
// been read (a collected drive proves its system volume only from all its
// files together).
#pragma once

#include "core/scan_results.h"
#include "machine/examined_machine.h"

namespace tidewell {

void scanPrefetch(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
