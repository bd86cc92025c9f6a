// The Prefetch source: the files Windows writes in its Prefetch folder for
// each program it starts (plain and compressed), every one read, unpacked
// and parsed, and each record given its path once every file has been read
// (a copy of a drive proves its system volume only from all its files
// together).
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource prefetchSource;

void scanPrefetch(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
