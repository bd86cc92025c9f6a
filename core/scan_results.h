// What a scan is asked to read, and everything one scan produces: the
// records, the tally, the facts, where they came from and the failure flag.
// The results belong to whoever asked for the scan (the window, the
// command-line tool, a test); the scan keeps nothing between scans.
#pragma once

#include <string>

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

} // namespace tidewell
