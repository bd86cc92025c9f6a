// Writing the report so that the destination either receives all of it or
// is left exactly as it was.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"
#include "core/scan_results.h"
#include "core/scan_tally.h"
#include "report/report_format.h"

namespace tidewell {

// Writes the whole report for these results, in the form the options name,
// to a fresh temporary file beside the destination (its name with ".partial"
// and a number from 0 to 511 appended), flushes it and moves it over the
// destination. True only when the destination holds the whole report; on
// failure no temporary file is left and the destination is unchanged. The
// bytes go out in writes of about 64 KiB; memory stays bounded by that, the
// header and one record's text.
bool writeReport(const std::wstring& destination, const RecordList& records, const ScanTally& tally,
                 const ScanFacts& facts, const ScanOrigin& origin,
                 const ReportOptions& options = {});

// The same for a whole scan's results, as the command-line tool and the
// window's export write them.
bool writeReport(const std::wstring& destination, const ScanResults& results,
                 const ReportOptions& options = {});

// The same report to the process's standard output, for a pipeline: the
// same bytes as a file of that form would hold. What a reader already took
// cannot be taken back, so false means the output is not whole.
bool writeReportToStandardOutput(const ScanResults& results, const ReportOptions& options = {});

} // namespace tidewell
