// Any bytes as each kind of PCA file, and their records: every line that is
// not blank is kept or counted as lacking its fields, every kept line's
// time is a possible date or counted as withheld, and each kept line gives
// one record that shows and merges.
#include <cstdlib>

#include "core/record_source.h"
#include "pca/pca_counters.h"
#include "pca/pca_records.h"
#include "pca/pca_source.h"
#include "pca/pca_text.h"
#include "platform/possible_date.h"
#include "ui/detail_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    constexpr FileTime now = 133996032000000000ULL;
    const Variables variables = {{L"ProgramFiles", L"C:\\Program Files"}};
    for (PcaFileKind kind : {PcaFileKind::LaunchDictionary, PcaFileKind::GeneralDatabase}) {
        const PcaFileRead read = readPcaFile(kind, std::span(data, size), now);
        std::size_t withheld = 0;
        for (const PcaLine& line : read.lines) {
            if (line.time == 0) {
                ++withheld;
            } else if (!isPossibleDate(line.time, now)) {
                std::abort();
            }
            if (line.path.empty() || line.lineNumber == 0) {
                std::abort();
            }
        }
        if (read.lines.size() + read.linesMalformed != read.linesRead ||
            withheld != read.timesMalformed) {
            std::abort();
        }
        RecordList records;
        ScanTally tally;
        makePcaRecords(read, kind, L"PcaGeneralDb0.txt", L"fuzz", variables, records, tally);
        if (records.size() != read.lines.size() || tally[pcaLinesRead] != read.linesRead) {
            std::abort();
        }
        for (const LaunchRecord& record : records) {
            std::vector<NamedTime> times;
            pcaSource.namedTimes(record, times);
            if (record.runTimes.size() + times.size() > 1 ||
                buildDetailText(record, DetailContext{}).empty() ||
                pcaSource.mergeKey(record).empty()) {
                std::abort();
            }
        }
    }
    return 0;
}
