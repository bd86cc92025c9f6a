// The machine-readable outputs: one JSON document with the scan's coverage
// and every record, and a timeline of JSON Lines (one event per recorded run
// time) that timeline tools import as it stands. Both carry the coverage
// verdict, so that a reader of the file alone can tell whether the picture
// was complete, and both give times in UTC.
#pragma once

#include <string>
#include <vector>

#include "core/launch_record.h"
#include "core/program_list.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"
#include "core/scan_tally.h"

namespace tidewell {

// The JSON document in three pieces, so that one record at a time is held:
// its opening (the tool, what was scanned, the coverage and the start of the
// records), each record, and its closing (the programs and their counts).
std::string jsonReportOpening(const ScanTally& tally, const ScanFacts& facts,
                              const ScanOrigin& origin);
// Every record names the members of every source the scan read (null where
// they are another source's).
std::vector<const RecordSource*> sourcesRead(const ScanOrigin& origin);
std::string jsonReportRecord(const LaunchRecord& record,
                             const std::vector<const RecordSource*>& sources, bool first);
std::string jsonReportClosing(const ProgramList& programs, const RecordList& records,
                              const ScanOrigin& origin);

// What every event of a scan's timeline says of the scan.
struct TimelineScan {
    std::wstring host;           // the scanned machine's name, or empty
    std::wstring evidenceFolder; // empty for this machine
    bool complete = false;
    std::vector<std::wstring> reasons;
    std::vector<const RecordSource*> sources; // every source the scan read
};

TimelineScan timelineScan(const ScanTally& tally, const ScanFacts& facts, const ScanOrigin& origin);

// One line (ending in LF) for each run time the record holds, each naming
// the record's program by its id.
std::string timelineEvents(const LaunchRecord& record, std::uint32_t program,
                           const TimelineScan& scan);

} // namespace tidewell
