// Disk images against what extracting their files costs: a whole scan of
// the corpus E01 (its Windows volume read through The Sleuth Kit, the
// deleted Prefetch file included) beside The Sleuth Kit's own tsk_recover
// extracting every allocated file of that volume, in the same run; and what
// each shadow copy of a real volume adds: the cost of reading its own files,
// not a second pass over the volume, and nothing for the files it holds
// unchanged.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "machine/disk_image.h"
#include "scan/scan_driver.h"
#include "support/corpus_files.h"
#include "support/temp_folder.h"

namespace {

std::filesystem::path corpusImage(const char* name) {
    return tidewell::testing::corpusRoot() / "images" / name;
}

void scanCorpusE01(benchmark::State& state) {
    const std::filesystem::path image = corpusImage("corpus-gpt.E01");
    if (!std::filesystem::exists(image)) {
        state.SkipWithError("the corpus images are absent");
        return;
    }
    const tidewell::ScanTarget target{tidewell::ScanSubject::EvidenceRoot,
                                      tidewell::testing::programText(image)};
    std::size_t records = 0;
    for (auto _ : state) {
        tidewell::ScanResults results;
        tidewell::runScan(target, results);
        records = results.records.size();
        benchmark::DoNotOptimize(records);
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(scanCorpusE01)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// The reference: The Sleuth Kit extracting the same volume's files, told the
// volume is NTFS (left to guess, it spends as long again guessing).
void tskRecoverCorpusE01(benchmark::State& state) {
    const std::filesystem::path image = corpusImage("corpus-gpt.E01");
    if (!std::filesystem::exists(image) || std::system("command -v tsk_recover >/dev/null") != 0) {
        state.SkipWithError("the corpus images or tsk_recover are absent");
        return;
    }
    const tidewell::testing::TempFolder out;
    const std::string command = "tsk_recover -a -f ntfs -o 71680 '" + image.string() + "' '" +
                                (out.path / "files").string() + "' >/dev/null";
    for (auto _ : state) {
        std::filesystem::remove_all(out.path / "files");
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("tsk_recover failed");
            return;
        }
    }
}
BENCHMARK(tskRecoverCorpusE01)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The files of a state of the vsstest volume, read as a scan reads them:
// state 0 is the volume as it is, every file read; 1 and 2 are its shadow
// copies, where a file the copy holds unchanged is known for the current
// one and not read again. With range(1) set, every file of the state is
// read whole, for comparison.
void readVolumeState(benchmark::State& state) {
    const std::filesystem::path path = corpusImage("vsstest.qcow2");
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the corpus images are absent");
        return;
    }
    tidewell::ImageSurvey survey;
    const tidewell::DiskImageHandle image = tidewell::openDiskImage(
        tidewell::openEvidenceFile(tidewell::testing::programText(path)), survey);
    const tidewell::ImageFileSystemHandle current =
        tidewell::openImageVolume(*image, survey.volumes.front());
    const auto store = static_cast<std::uint32_t>(state.range(0));
    const bool everyFile = state.range(1) != 0;
    std::uint64_t bytes = 0;
    std::size_t read = 0;
    for (auto _ : state) {
        const tidewell::ImageFileSystemHandle fileSystem =
            store == 0 ? tidewell::openImageVolume(*image, survey.volumes.front())
                       : tidewell::openShadowCopy(*image, survey.volumes.front(), store);
        std::vector<tidewell::ImageEntry> entries;
        tidewell::listImageFolder(*fileSystem, L"\\", entries);
        read = 0;
        for (const tidewell::ImageEntry& entry : entries) {
            const std::wstring file = L"\\" + entry.name;
            if (entry.isDirectory || entry.name.front() == L'$' ||
                (store != 0 && !everyFile &&
                 tidewell::sameFileInCopy(*fileSystem, *current, file))) {
                continue;
            }
            std::vector<std::uint8_t> contents;
            if (tidewell::readImageFile(*fileSystem, file, 64u << 20, contents) ==
                tidewell::WholeFileRead::Read) {
                bytes += contents.size();
                ++read;
            }
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["files_read"] = static_cast<double>(read);
}
BENCHMARK(readVolumeState)
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({2, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
