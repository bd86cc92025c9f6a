// One whole scan: the examined machine is opened for the target, every
// source of the table of sources reads from it in turn, its older states are
// read and merged, and the span of run times and the failure flag derived.
#pragma once

#include "core/scan_results.h"
#include "machine/examined_machine.h"

namespace tidewell {

// Replaces results with a fresh scan of target: nothing of the previous scan
// survives (the records' storage is reused).
void runScan(const ScanTarget& target, ScanResults& results);

// The same in two steps, for a caller that must know whether the target can
// be read at all before anything is read from it: the target is opened once
// (into fresh results), then, where the check allows, read.
EvidenceCheck openScan(const ScanTarget& target, ExaminedMachine& machine, ScanResults& results);
void readScan(ExaminedMachine& machine, ScanResults& results);

// The oldest and newest non-zero run times over all records, every source.
void computeRunTimeSpan(const RecordList& records, ScanFacts& facts);

} // namespace tidewell
