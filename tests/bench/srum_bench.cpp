// SRUM databases against what exporting them costs: the corpus databases
// read as a scan reads them (the file whole into memory, the id map and
// both usage tables through libesedb, the rows made records) beside the
// library's own esedbexport writing out every table of the same files, in
// the same run. Windows 11's dirty copy, whose header that exporter
// refuses, is read too.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "core/scan_tally.h"
#include "srum/srum_records.h"
#include "srum/srum_tables.h"
#include "support/corpus_files.h"
#include "support/temp_folder.h"

namespace {

const char* const machines[] = {"Win10_RathbunVM_Clean", "Win11_RathbunVM_Clean",
                                "Win11_RathbunVM_Dirty"};

std::filesystem::path database(std::int64_t machine) {
    return tidewell::testing::corpusRoot() / "sources/srum/DFIRArtifactMuseum" / machines[machine] /
           "SRUDB.dat";
}

void readSrumDatabase(benchmark::State& state) {
    const std::filesystem::path file = database(state.range(0));
    if (!std::filesystem::exists(file)) {
        state.SkipWithError("the corpus databases are absent");
        return;
    }
    std::size_t records = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = tidewell::testing::readWholeFile(file);
        const tidewell::SrumTables tables = tidewell::readSrumTables(bytes);
        tidewell::RecordList list;
        tidewell::ScanTally tally;
        tidewell::makeSrumRecords(tables, L"SRUDB.dat", list, tally);
        records = list.size();
        benchmark::DoNotOptimize(records);
    }
    state.SetLabel(machines[state.range(0)]);
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(readSrumDatabase)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The reference: the library's exporter writing every table of the file.
void esedbexportDatabase(benchmark::State& state) {
    const std::filesystem::path file = database(state.range(0));
    if (!std::filesystem::exists(file) || std::system("command -v esedbexport >/dev/null") != 0) {
        state.SkipWithError("the corpus databases or esedbexport are absent");
        return;
    }
    const tidewell::testing::TempFolder out;
    const std::string command = "esedbexport -t '" + (out.path / "tables").string() + "' '" +
                                file.string() + "' >/dev/null 2>&1";
    for (auto _ : state) {
        std::filesystem::remove_all(out.path / "tables.export");
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("esedbexport failed");
            return;
        }
    }
    state.SetLabel(machines[state.range(0)]);
}
BENCHMARK(esedbexportDatabase)
    ->DenseRange(0, 1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
