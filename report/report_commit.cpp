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

// The report's bytes on their way to the file: gathered, and handed on in
// writes of about 64 KiB, so that a report of thousands of records takes a
// few writes, not one a record. Memory stays bounded by that much and the
// longest text added at once.
struct ReportStream {
    static constexpr std::size_t writeSize = 65536;

    WritableFile& file;
    std::vector<std::uint8_t> pending;

    bool handOn() {
        const bool written = pending.empty() || writeAll(file, pending.data(), pending.size());
        pending.clear();
        return written;
    }
    bool added() { return pending.size() < writeSize || handOn(); }

    bool bytes(const std::uint8_t* data, std::size_t size) {
        pending.insert(pending.end(), data, data + size);
        return added();
    }
    // UTF-16 text as little-endian bytes, two per unit, unchanged otherwise.
    bool text(const std::wstring& text) {
        const std::size_t at = pending.size();
        pending.resize(at + 2 * text.size());
        std::uint8_t* out = pending.data() + at;
        for (const wchar_t unit : text) {
            *out++ = static_cast<std::uint8_t>(unit & 0xff);
            *out++ = static_cast<std::uint8_t>((unit >> 8) & 0xff);
        }
        return added();
    }
    bool utf8(const std::string& text) {
        return bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
};

// Everything a report shows, as one scan produced it.
struct ReportInput {
    const RecordList& records;
    const ScanTally& tally;
    const ScanFacts& facts;
    const ScanOrigin& origin;
    const ProgramList& programs;
};

constexpr std::uint8_t byteOrderMark[] = {0xFF, 0xFE};

// UTF-16 with its byte order mark, as the spreadsheet programs expect it.
bool writeCsv(ReportStream& out, const ReportInput& input, TimeBasis times) {
    if (!out.bytes(byteOrderMark, sizeof byteOrderMark) ||
        !out.text(buildReportHeader(input.tally, input.facts, input.origin, times,
                                    &input.programs.counts))) {
        return false;
    }
    for (const LaunchRecord& record : input.records) {
        if (!out.text(buildRecordLine(record, times))) {
            return false;
        }
    }
    return true;
}

bool writeProgramsCsv(ReportStream& out, const ReportInput& input, TimeBasis times) {
    if (!out.bytes(byteOrderMark, sizeof byteOrderMark) ||
        !out.text(
            buildProgramsHeader(input.tally, input.facts, input.origin, input.programs, times))) {
        return false;
    }
    for (const Program& program : input.programs.programs) {
        if (!out.text(
                buildProgramLine(input.programs, program, input.records, input.origin, times))) {
            return false;
        }
    }
    return true;
}

// UTF-8 without a byte order mark, as RFC 8259 asks.
bool writeJson(ReportStream& out, const ReportInput& input) {
    if (!out.utf8(jsonReportOpening(input.tally, input.facts, input.origin))) {
        return false;
    }
    const std::vector<const RecordSource*> sources = sourcesRead(input.origin);
    bool first = true;
    for (const LaunchRecord& record : input.records) {
        if (!out.utf8(jsonReportRecord(record, sources, first))) {
            return false;
        }
        first = false;
    }
    return out.utf8(jsonReportClosing(input.programs, input.records, input.origin));
}

bool writeTimeline(ReportStream& out, const ReportInput& input) {
    const TimelineScan scan = timelineScan(input.tally, input.facts, input.origin);
    const std::vector<std::uint32_t>& programOf = input.programs.programOfRecord;
    for (std::size_t index = 0; index < input.records.size(); ++index) {
        const std::uint32_t program =
            index < programOf.size() ? input.programs.programs[programOf[index]].id : 0;
        if (!out.utf8(timelineEvents(input.records[index], program, scan))) {
            return false;
        }
    }
    return true;
}

bool writeForm(WritableFile& file, const ReportInput& input, const ReportOptions& options) {
    ReportStream out{file, {}};
    out.pending.reserve(ReportStream::writeSize);
    bool written = false;
    switch (options.format) {
    case ReportFormat::Json:
        written = writeJson(out, input);
        break;
    case ReportFormat::Timeline:
        written = writeTimeline(out, input);
        break;
    case ReportFormat::Csv:
        written = writeCsv(out, input, options.times);
        break;
    case ReportFormat::Programs:
        written = writeProgramsCsv(out, input, options.times);
        break;
    }
    return written && out.handOn();
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
