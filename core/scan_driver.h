// One whole scan: the examined machine is opened for the target, every
// source of the table of sources reads from it in turn, and the span of run
// times and the failure flag are derived.
#pragma once

#include "core/scan_results.h"

namespace tidewell {

// Replaces results with a fresh scan of target: nothing of the previous scan
// survives (the records' storage is reused).
void runScan(const ScanTarget& target, ScanResults& results);

// The oldest and newest non-zero run times over all records, every source.
void computeRunTimeSpan(const RecordList& records, ScanFacts& facts);

} // namespace tidewell
