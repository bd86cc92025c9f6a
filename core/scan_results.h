// What a scan is asked to read, and everything one scan produces: the
// records, the tally, the facts, where they came from and the failure flag.
// The results belong to whoever asked for the scan (the window, the
// command-line tool, a test); the scan keeps nothing between scans.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"
#include "core/program_list.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"
#include "core/scan_tally.h"

namespace tidewell {

// What a scan reads: the machine the program runs on, or evidence: a folder
// holding a copy of a Windows system drive (or a collection with such a copy
// one folder down), or a disk image of such a drive.
enum class ScanSubject {
    ThisMachine,
    EvidenceRoot,
};

struct ScanTarget {
    ScanSubject subject = ScanSubject::ThisMachine;
    std::wstring evidenceRoot;
    // A disk image: the partition to read (from 1; 0: the one that holds
    // Windows), and whether its shadow copies are read too.
    std::uint32_t partition = 0;
    bool shadowCopies = true;
    // A Velociraptor collection: the drive to read (C:, or a device as the
    // collector named it; empty: the one that holds Windows).
    std::wstring drive{};
    // The event logs' records left in their free space are read too.
    bool recoverDeletedEvents = false;
};

struct ScanResults {
    RecordList records;
    ScanTally tally;
    ScanFacts facts;
    ScanOrigin origin;
    ProgramList programs; // the records brought together per program
    bool anyFailure = false;
};

} // namespace tidewell
