// The report's content: a "# " header that says what the scan could and
// could not read, the column line, and one quoted CSV line per record.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/program_list.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"
#include "core/scan_tally.h"
#include "platform/timestamp_format.h"
#include "report/completeness.h"

namespace tidewell {

// A double quote, the text with each double quote doubled, a double quote.
std::wstring csvQuote(const std::wstring& text);
// A cell of a record's line: quoted, and kept from being taken for a
// formula (see inertCell).
std::wstring csvCell(const std::wstring& text);

// The header block, the empty line and the column line, each line ending in
// CR LF. A report of collected evidence names the folder it read, speaks of
// the examined machine and lists the evidence's own counters after the rest.
// With times in UTC the header says so in a line of its own. With the
// program counts, they stand after the sources' counters.
std::wstring buildReportHeader(const ScanTally& tally, const ScanFacts& facts,
                               const ScanOrigin& origin, TimeBasis times = TimeBasis::Local,
                               const ProgramCounts* programs = nullptr);

// The header block alone, each line ending in CR LF, up to and with the
// line that says whether the picture is complete.
std::wstring buildHeaderBlock(const ScanTally& tally, const ScanFacts& facts,
                              const ScanOrigin& origin, TimeBasis times,
                              const ProgramCounts* programs);

// One record's line, ending in CR LF.
std::wstring buildRecordLine(const LaunchRecord& record, TimeBasis times = TimeBasis::Local);

} // namespace tidewell
