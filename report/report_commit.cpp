#include "report/report_commit.h"

#include <vector>

#include "platform/decimal_text.h"
#include "platform/error_codes.h"
#include "platform/output_files.h"
#include "report/csv_report.h"

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

bool writeContent(WritableFile& file, const RecordList& records, const ScanTally& tally,
                  const ScanFacts& facts, const ScanOrigin& origin) {
    std::vector<std::uint8_t> bytes;
    if (!writeText(file, buildReportHeader(tally, facts, origin), bytes)) {
        return false;
    }
    for (const LaunchRecord& record : records) {
        if (!writeText(file, buildRecordLine(record), bytes)) {
            return false;
        }
    }
    return flushToDisk(file);
}

} // namespace

bool writeReport(const std::wstring& destination, const RecordList& records, const ScanTally& tally,
                 const ScanFacts& facts, const ScanOrigin& origin) {
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
    static const std::uint8_t byteOrderMark[] = {0xFF, 0xFE};
    const bool written = writeAll(file, byteOrderMark, sizeof byteOrderMark) &&
                         writeContent(file, records, tally, facts, origin);
    closeWritable(file);
    if (!written || !moveReplacing(temporary, destination)) {
        deleteFileIfPresent(temporary);
        return false;
    }
    return true;
}

} // namespace tidewell
