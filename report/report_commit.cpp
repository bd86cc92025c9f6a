#include "report/report_commit.h"

#include <vector>

#include "platform/decimal_text.h"
#include "platform/error_codes.h"
#include "platform/output_files.h"
#include "programs/program_builder.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "report/programs_csv.h"

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

// Everything a report shows, as one scan produced it.
struct ReportInput {
    const RecordList& records;
    const ScanTally& tally;
    const ScanFacts& facts;
    const ScanOrigin& origin;
    const ProgramList& programs;
};

// UTF-16 with its byte order mark, as the spreadsheet programs expect it.
bool writeCsv(WritableFile& file, const ReportInput& input, TimeBasis times) {
    static const std::uint8_t byteOrderMark[] = {0xFF, 0xFE};
    std::vector<std::uint8_t> bytes;
    if (!writeAll(file, byteOrderMark, sizeof byteOrderMark) ||
        !writeText(file,
                   buildReportHeader(input.tally, input.facts, input.origin, times,
                                     &input.programs.counts),
                   bytes)) {
        return false;
    }
    for (const LaunchRecord& record : input.records) {
        if (!writeText(file, buildRecordLine(record, times), bytes)) {
            return false;
        }
    }
    return true;
}

bool writeProgramsCsv(WritableFile& file, const ReportInput& input, TimeBasis times) {
    static const std::uint8_t byteOrderMark[] = {0xFF, 0xFE};
    std::vector<std::uint8_t> bytes;
    if (!writeAll(file, byteOrderMark, sizeof byteOrderMark) ||
        !writeText(
            file,
            buildProgramsHeader(input.tally, input.facts, input.origin, input.programs, times),
            bytes)) {
        return false;
    }
    for (const Program& program : input.programs.programs) {
        if (!writeText(
                file, buildProgramLine(input.programs, program, input.records, input.origin, times),
                bytes)) {
            return false;
        }
    }
    return true;
}

// UTF-8 without a byte order mark, as RFC 8259 asks.
bool writeJson(WritableFile& file, const ReportInput& input) {
    if (!writeUtf8(file, jsonReportOpening(input.tally, input.facts, input.origin))) {
        return false;
    }
    const std::vector<const RecordSource*> sources = sourcesRead(input.origin);
    bool first = true;
    for (const LaunchRecord& record : input.records) {
        if (!writeUtf8(file, jsonReportRecord(record, sources, first))) {
            return false;
        }
        first = false;
    }
    return writeUtf8(file, jsonReportClosing(input.programs, input.records, input.origin));
}

bool writeTimeline(WritableFile& file, const ReportInput& input) {
    const TimelineScan scan = timelineScan(input.tally, input.facts, input.origin);
    const std::vector<std::uint32_t>& programOf = input.programs.programOfRecord;
    for (std::size_t index = 0; index < input.records.size(); ++index) {
        const std::uint32_t program =
            index < programOf.size() ? input.programs.programs[programOf[index]].id : 0;
        if (!writeUtf8(file, timelineEvents(input.records[index], program, scan))) {
            return false;
        }
    }
    return true;
}

bool writeForm(WritableFile& file, const ReportInput& input, const ReportOptions& options) {
    bool written = false;
    switch (options.format) {
    case ReportFormat::Json:
        written = writeJson(file, input);
        break;
    case ReportFormat::Timeline:
        written = writeTimeline(file, input);
        break;
    case ReportFormat::Csv:
        written = writeCsv(file, input, options.times);
        break;
    case ReportFormat::Programs:
        written = writeProgramsCsv(file, input, options.times);
        break;
    }
    return written;
}

bool writeWhole(const std::wstring& destination, const ReportInput& input,
                const ReportOptions& options) {
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
    const bool written = writeForm(file, input, options) && flushToDisk(file);
    closeWritable(file);
    if (!written || !moveReplacing(temporary, destination)) {
        deleteFileIfPresent(temporary);
        return false;
    }
    return true;
}

} // namespace

bool writeReport(const std::wstring& destination, const RecordList& records, const ScanTally& tally,
                 const ScanFacts& facts, const ScanOrigin& origin, const ReportOptions& options) {
    const ProgramList programs = buildPrograms(records, origin);
    return writeWhole(destination, {records, tally, facts, origin, programs}, options);
}

bool writeReport(const std::wstring& destination, const ScanResults& results,
                 const ReportOptions& options) {
    return writeWhole(
        destination,
        {results.records, results.tally, results.facts, results.origin, results.programs}, options);
}

bool writeReportToStandardOutput(const ScanResults& results, const ReportOptions& options) {
    WritableFile output;
    // A pipe or a terminal is not flushed to a disk: the bytes are written
    // in order, and a reader sees them as they come.
    return openStandardOutput(output) && writeForm(output,
                                                   {results.records, results.tally, results.facts,
                                                    results.origin, results.programs},
                                                   options);
}

} // namespace tidewell
