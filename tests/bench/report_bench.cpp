// Writing the report for 100,000 records through the test double: records per
// second, and the heap the writing needs beyond the records themselves
// (which must not grow with their number).
#include <algorithm>
#include <string>

#include <benchmark/benchmark.h>

#include "heap_counter.h"

#include "core/record_source.h"
#include "prefetch/prefetch_source.h"
#include "report/report_commit.h"
#include "support/origins.h"
#include "support/record_details.h"
#include "support/temp_folder.h"
#include "userassist/userassist_source.h"

namespace {

tidewell::RecordList makeRecords(std::size_t count) {
    tidewell::RecordList records(count);
    for (std::size_t i = 0; i < count; ++i) {
        tidewell::LaunchRecord& record = records[i];
        record = tidewell::makeRecord(i % 2 == 0 ? tidewell::prefetchSource
                                                 : tidewell::userAssistSource);
        if (i % 2 == 0) {
            record.name = L"PROGRAM" + std::to_wstring(i) + L".EXE";
            record.path =
                L"C:\\Program Files\\Vendor " + std::to_wstring(i % 97) + L"\\" + record.name;
            record.pathStatus = tidewell::PathStatus::Resolved;
            record.runCount = static_cast<std::uint32_t>(i % 50 + 8);
            record.runCountKnown = 1;
            for (int run = 0; run < 8; ++run) {
                record.runTimes.push_back(133500000000000000ULL -
                                          static_cast<std::uint64_t>(run) * 864000000000ULL);
            }
            tidewell::testing::prefetchOf(record).formatVersion = 30;
            tidewell::testing::prefetchOf(record).pathHash =
                static_cast<std::uint32_t>(i * 2654435761u);
            record.recordFile = L"C:\\Windows\\Prefetch\\" + record.name + L"-ABCDEF01.pf";
            tidewell::testing::prefetchOf(record).referencedFiles.assign(
                40, L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\SYSTEM32\\NTDLL.DLL");
        } else {
            record.name = L"tool" + std::to_wstring(i) + L".exe";
            record.path = L"C:\\Users\\analyst\\Desktop\\" + record.name;
            record.pathStatus = tidewell::PathStatus::Resolved;
            record.runCount = 3;
            record.runCountKnown = 1;
            record.runTimes = {133500000000000000ULL};
            record.userSid = L"S-1-5-21-1-2-3-1001";
            record.userName = L"analyst";
            tidewell::testing::userAssistOf(record).focusCount = 4;
            tidewell::testing::userAssistOf(record).focusMilliseconds = 12345;
            tidewell::testing::userAssistOf(record).hasFocus = 1;
        }
    }
    return records;
}

void writeReportFor100000Records(benchmark::State& state) {
    const tidewell::RecordList records = makeRecords(static_cast<std::size_t>(state.range(0)));
    tidewell::testing::TempFolder folder;
    const std::wstring destination = folder.text() + L"\\report.csv";
    std::size_t peakBeyondRecords = 0;
    for (auto _ : state) {
        const std::size_t before = tidewell::bench::liveHeapBytes();
        tidewell::bench::resetHeapPeak();
        if (!tidewell::writeReport(destination, records, tidewell::testing::tableTally(),
                                   tidewell::testing::tableFacts(),
                                   tidewell::testing::thisMachineOrigin(L""))) {
            state.SkipWithError("the report was not written");
            return;
        }
        peakBeyondRecords = std::max(peakBeyondRecords, tidewell::bench::peakHeapBytes() - before);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    state.counters["peak_heap_beyond_records_bytes"] = static_cast<double>(peakBeyondRecords);
}
BENCHMARK(writeReportFor100000Records)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
