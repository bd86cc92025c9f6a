// The command-line twin of the window's Export command, for responders who
// collect evidence with scripts: one scan, one report, one summary line, and
// an exit status that says whether the picture is complete.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scan/scan_driver.h"

namespace tidewell {

enum ReportExitStatus : int {
    reportComplete = 0,   // written, and a complete picture
    reportNotWritten = 1, // nothing written, no partial file left
    reportUsageError = 2,
    reportIncomplete = 3, // written, but not a complete picture
};

// Why a report does not call itself complete: each failure counted, by its
// report label and count, then the coverage; empty for a complete one.
std::wstring incompleteReasons(const ScanResults& results);

// The summary line for a written report (without a line end).
std::wstring reportSummary(const ScanResults& results, const std::wstring& path);

// "tidewell-report 0.1.0 (commit 0123abcd4567)"; without the commit where the
// build did not know it.
std::wstring versionText();

// Runs the command with its arguments (the program's name not included).
// What it prints goes to output (standard output) and errors (standard error).
int runReportCommand(const std::vector<std::wstring>& arguments, std::wstring& output,
                     std::wstring& errors);

} // namespace tidewell
