// The programs as a CSV report: the same header block as the records'
// report with the program counts, the column line, and one line per
// program.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/program_list.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"
#include "core/scan_tally.h"
#include "platform/timestamp_format.h"

namespace tidewell {

std::wstring buildProgramsHeader(const ScanTally& tally, const ScanFacts& facts,
                                 const ScanOrigin& origin, const ProgramList& programs,
                                 TimeBasis times);

// One program's line, ending in CR LF; the records column numbers them by
// their rows in the records report, from 1.
std::wstring buildProgramLine(const ProgramList& list, const Program& program,
                              const RecordList& records, const ScanOrigin& origin, TimeBasis times);

} // namespace tidewell
