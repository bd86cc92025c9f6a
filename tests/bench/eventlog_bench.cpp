// Event logs against what exporting them costs: the corpus's logs read as a
// scan reads them (the file whole into memory, every record through
// libevtx in its own process, the starts' XML parsed and made records as
// they come) beside libevtx's own evtxexport writing every record of the
// same files out as XML, in the same run; each log alone and all of them
// in turn.
#include <cstdlib>
#include <filesystem>
#include <iterator>
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

constexpr std::int64_t logCount = static_cast<std::int64_t>(std::size(logs));

// One log read as a scan reads it: its starts made records.
std::size_t readAsAScanDoes(std::int64_t log) {
    const std::vector<std::uint8_t> bytes = tidewell::testing::readWholeFile(logFile(log));
    tidewell::EventRecordMaker maker = tidewell::eventRecordMaker(logs[log].kind, L"log");
    const tidewell::EvtxLog read = tidewell::readEvtxLog(
        bytes, logs[log].kind, false,
        [&maker](std::vector<tidewell::EvtxEvent>& events) { addEventRecords(maker, events); });
    tidewell::RecordList records;
    tidewell::ScanTally tally;
    takeEventRecords(maker, records, tally);
    return read.open == tidewell::EvtxOpen::Opened ? records.size() : 0;
}

bool logsPresent() {
    for (std::int64_t log = 0; log < logCount; ++log) {
        if (!std::filesystem::exists(logFile(log))) {
            return false;
        }
    }
    return true;
}

// One log (0 to 2), or every one of them in turn (3).
void readEventLog(benchmark::State& state) {
    if (!logsPresent()) {
        state.SkipWithError("the corpus logs are absent");
        return;
    }
    const std::int64_t which = state.range(0);
    std::size_t records = 0;
    for (auto _ : state) {
        records = 0;
        for (std::int64_t log = 0; log < logCount; ++log) {
            if (which == logCount || which == log) {
                records += readAsAScanDoes(log);
            }
        }
        benchmark::DoNotOptimize(records);
    }
    state.SetLabel(which == logCount ? "every log" : logFile(which).filename().string());
    state.counters["starts"] = static_cast<double>(records);
}
BENCHMARK(readEventLog)
    ->DenseRange(0, logCount)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The reference: the library's exporter writing every record as XML.
void evtxexportLog(benchmark::State& state) {
    if (!logsPresent() || std::system("command -v evtxexport >/dev/null") != 0) {
        state.SkipWithError("the corpus logs or evtxexport are absent");
        return;
    }
    const std::int64_t which = state.range(0);
    std::vector<std::string> commands;
    for (std::int64_t log = 0; log < logCount; ++log) {
        if (which == logCount || which == log) {
            commands.push_back("evtxexport -f xml '" + logFile(log).string() + "' >/dev/null 2>&1");
        }
    }
    for (auto _ : state) {
        for (const std::string& command : commands) {
            if (std::system(command.c_str()) != 0) {
                state.SkipWithError("evtxexport failed");
                return;
            }
        }
    }
    state.SetLabel(which == logCount ? "every log" : logFile(which).filename().string());
}
BENCHMARK(evtxexportLog)
    ->DenseRange(0, logCount)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
