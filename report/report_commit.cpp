#include "report/report_commit.h"

#include <vector>

#include "platform/decimal_text.h"
#include "platform/error_codes.h"
#include "platform/output_files.h"
#include "report/csv_report.h"
#include "report/json_report.h"

namespace tidewell {

namespace {

constexpr unsigned temporaryAttempts = 512;

// UTF-16 text as little-endian bytes, two per unit, unchanged otherwise.
bool writeText(WritableFile& file, const std::wstring& text, std::vector<std::uint8_t>& bytes) {
    bytes.resize(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<std::uint16_t>(text[i]);
        bytes[2 * i] = static_cast<std::uint8_t>(unit);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(unit >> 8);
    }
    return writeAll(file, bytes.data(), bytes.size());
}

bool writeUtf8(WritableFile& file, const std::string& text) {
    return writeAll(file, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// UTF-16 with its byte order mark, as the spreadsheet programs expect it.
bool writeCsv(WritableFile& file, const RecordList& records, const ScanTally& tally,
              const ScanFacts& facts, const ScanOrigin& origin, TimeBasis times) {
    static const std::uint8_t byteOrderMark[] = {0xFF, 0xFE};
    std::vector<std::uint8_t> bytes;
    if (!writeAll(file, byteOrderMark, sizeof byteOrderMark) ||
        !writeText(file, buildReportHeader(tally, facts, origin, times), bytes)) {
        return false;
    }
    for (const LaunchRecord& record : records) {
        if (!writeText(file, buildRecordLine(record, times), bytes)) {
            return false;
        }
    }
    return true;
}

// UTF-8 without a byte order mark, as RFC 8259 asks.
bool writeJson(WritableFile& file, const RecordList& records, const ScanTally& tally,
               const ScanFacts& facts, const ScanOrigin& origin) {
    if (!writeUtf8(file, jsonReportOpening(tally, facts, origin))) {
        return false;
    }
    const std::vector<const RecordSource*> sources = sourcesRead(origin);
    bool first = true;
    for (const LaunchRecord& record : records) {
        if (!writeUtf8(file, jsonReportRecord(record, sources, first))) {
            return false;
        }
        first = false;
    }
    return writeUtf8(file, jsonReportClosing());
}

bool writeTimeline(WritableFile& file, const RecordList& records, const ScanTally& tally,
                   const ScanFacts& facts, const ScanOrigin& origin) {
    const TimelineScan scan = timelineScan(tally, facts, origin);
    for (const LaunchRecord& record : records) {
        if (!writeUtf8(file, timelineEvents(record, scan))) {
            return false;
        }
    }
    return true;
}

bool writeForm(WritableFile& file, const RecordList& records, const ScanTally& tally,
               const ScanFacts& facts, const ScanOrigin& origin, const ReportOptions& options) {
    bool written = false;
    switch (options.format) {
    case ReportFormat::Json:
        written = writeJson(file, records, tally, facts, origin);
        break;
    case ReportFormat::Timeline:
        written = writeTimeline(file, records, tally, facts, origin);
        break;
    case ReportFormat::Csv:
        written = writeCsv(file, records, tally, facts, origin, options.times);
        break;
    }
    return written;
}

bool writeContent(WritableFile& file, const RecordList& records, const ScanTally& tally,
                  const ScanFacts& facts, const ScanOrigin& origin, const ReportOptions& options) {
    return writeForm(file, records, tally, facts, origin, options) && flushToDisk(file);
}

} // namespace

bool writeReport(const std::wstring& destination, const RecordList& records, const ScanTally& tally,
                 const ScanFacts& facts, const ScanOrigin& origin, const ReportOptions& options) {
    WritableFile file;
    std::wstring temporary;
    bool created = false;
    for (unsigned attempt = 0; attempt < temporaryAttempts && !created; ++attempt) {
        temporary = destination + L".partial" + decimalText(attempt);
        const std::uint32_t status = createNewFile(temporary, file);
        if (status == ERROR_SUCCESS) {
            created = true;
        } else if (status != ERROR_FILE_EXISTS) {
            return false; // an existing name is skipped; anything else ends the search
        }
    }
    if (!created) {
        return false;
    }
    const bool written = writeContent(file, records, tally, facts, origin, options);
    closeWritable(file);
    if (!written || !moveReplacing(temporary, destination)) {
        deleteFileIfPresent(temporary);
        return false;
    }
    return true;
}

bool writeReport(const std::wstring& destination, const ScanResults& results,
                 const ReportOptions& options) {
    return writeReport(destination, results.records, results.tally, results.facts, results.origin,
                       options);
}

bool writeReportToStandardOutput(const ScanResults& results, const ReportOptions& options) {
    WritableFile output;
    // A pipe or a terminal is not flushed to a disk: the bytes are written
    // in order, and a reader sees them as they come.
    return openStandardOutput(output) && writeForm(output, results.records, results.tally,
                                                   results.facts, results.origin, options);
}

} // namespace tidewell
