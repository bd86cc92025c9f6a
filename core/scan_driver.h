// One whole scan of both sources. The results belong to whoever asked for
// the scan (the window, the command-line tool, a test); the driver keeps
// nothing between scans.
#pragma once

#include "core/launch_record.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"
#include "core/scan_tally.h"

namespace tidewell {

// What a scan reads: the machine the program runs on, or an evidence root
// (a folder holding a copy of a Windows system drive, or a collection with
// such a copy one folder down).
enum class ScanSubject {
    ThisMachine,
    EvidenceRoot,
};

struct ScanTarget {
    ScanSubject subject = ScanSubject::ThisMachine;
    std::wstring evidenceRoot;
};

struct ScanResults {
    RecordList records;
    ScanTally tally;
    ScanFacts facts;
    ScanOrigin origin;
    bool anyFailure = false;
};

// Replaces results with a fresh scan of target: nothing of the previous scan
// survives (the records' storage is reused).
void runScan(const ScanTarget& target, ScanResults& results);

// The oldest and newest non-zero run times over all records, both sources.
void computeRunTimeSpan(const RecordList& records, ScanFacts& facts);

} // namespace tidewell
