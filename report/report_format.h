// Which of the report's forms a scan is written in, and in which time.
#pragma once

#include <optional>
#include <string_view>

#include "platform/timestamp_format.h"

namespace tidewell {

enum class ReportFormat {
    Csv,      // the report of record: UTF-16 CSV with its header block
    Json,     // one JSON document: the coverage and every record
    Timeline, // JSON Lines, one event per recorded run time
    Programs, // UTF-16 CSV with the same header block, one line per program
};

struct ReportOptions {
    ReportFormat format = ReportFormat::Csv;
    // Only the CSV report shows local time; the JSON forms are always UTC.
    TimeBasis times = TimeBasis::Local;
};

// "csv", "json", "timeline" or "programs"; nothing for any other name.
std::optional<ReportFormat> reportFormatNamed(std::wstring_view name);

// The format a file name's extension asks for (".csv", ".json", ".jsonl", in
// any case; ".csv" keeps the programs where they were chosen); otherwise the
// one chosen some other way.
ReportFormat reportFormatForFileName(std::wstring_view fileName, ReportFormat chosen);

} // namespace tidewell
