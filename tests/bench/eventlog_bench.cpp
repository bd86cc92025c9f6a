// Event logs against what exporting them costs: the corpus's logs read as a
// scan reads them (the file whole into memory, every record through
// libevtx in its own process, the starts' XML parsed and made records)
// beside libevtx's own evtxexport writing every record of the same files
// out as XML, in the same run.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "core/scan_tally.h"
#include "eventlog/eventlog_records.h"
#include "eventlog/evtx_log.h"
#include "support/corpus_files.h"

namespace {

struct Log {
    const char* file;
    tidewell::EventLogKind kind;
};

const Log logs[] = {
    {"EVTX-to-MITRE-Attack/ID4688-Obfuscated payload transfer via service name - Tchopper.evtx",
     tidewell::EventLogKind::Security},
    {"omerbenamram-evtx/sysmon.evtx", tidewell::EventLogKind::Sysmon},
    {"python-evtx/issue_43.evtx", tidewell::EventLogKind::Sysmon},
};

std::filesystem::path logFile(std::int64_t log) {
    return tidewell::testing::corpusRoot() / "sources/evtx" / logs[log].file;
}

void readEventLog(benchmark::State& state) {
    const std::filesystem::path file = logFile(state.range(0));
    if (!std::filesystem::exists(file)) {
        state.SkipWithError("the corpus logs are absent");
        return;
    }
    std::size_t records = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = tidewell::testing::readWholeFile(file);
        const tidewell::EvtxLog log =
            tidewell::readEvtxLog(bytes, logs[state.range(0)].kind, false);
        tidewell::RecordList list;
        tidewell::ScanTally tally;
        tidewell::makeEventLogRecords(log.events, logs[state.range(0)].kind, L"log", list, tally);
        records = list.size();
        benchmark::DoNotOptimize(records);
    }
    state.SetLabel(file.filename().string());
    state.counters["starts"] = static_cast<double>(records);
}
BENCHMARK(readEventLog)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The reference: the library's exporter writing every record as XML.
void evtxexportLog(benchmark::State& state) {
    const std::filesystem::path file = logFile(state.range(0));
    if (!std::filesystem::exists(file) || std::system("command -v evtxexport >/dev/null") != 0) {
        state.SkipWithError("the corpus logs or evtxexport are absent");
        return;
    }
    const std::string command = "evtxexport -f xml '" + file.string() + "' >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("evtxexport failed");
            return;
        }
    }
    state.SetLabel(file.filename().string());
}
BENCHMARK(evtxexportLog)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
