// One whole scan of both sources, and the application's scan results, which
// only the scan replaces and everything else reads.
#pragma once

#include "core/launch_record.h"
#include "core/scan_facts.h"
#include "core/scan_tally.h"

namespace tidewell {

struct ScanResults {
    RecordList records;
    ScanTally tally;
    ScanFacts facts;
    bool anyFailure = false;
};

// The application's one set of results for the run.
ScanResults& scanResults();

// What the window does around a scan. Each hook may be null (there is no
// window yet, or none at all, as in the command-line tool).
struct ScanHooks {
    void* (*beginWait)() = nullptr; // show the wait cursor; returns the previous one
    void (*endWait)(void* previous) = nullptr;
    void (*recordsEmptied)() = nullptr; // no index into the records is valid any more
    void (*refreshBanner)() = nullptr;
    void (*refreshList)() = nullptr;
};

ScanHooks& scanHooks();

// Replaces the application's results with a fresh scan of this machine.
void runScan();

// The same into any results (the command-line tool and tests use their own).
void runScanInto(ScanResults& results, const ScanHooks& hooks);

// The oldest and newest non-zero run times over all records, both sources.
void computeRunTimeSpan(const RecordList& records, ScanFacts& facts);

} // namespace tidewell
