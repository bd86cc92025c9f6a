// A whole-folder scan of 1,024 compressed Prefetch-like files through the
// fake backend: files per second, and the heap the scan needs beyond the
// records it keeps (which must stay near one file plus its unpacked image).
#include <string>

#include <benchmark/benchmark.h>

#include "heap_counter.h"

#include "fake/fake_machine.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_folder_scan.h"
#include "prefetch/prefetch_path_choice.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "prefetch/sample/xpress_huffman_encoder.h"
#include "support/temp_folder.h"
#include "support/this_machine.h"

namespace {

constexpr int fileCount = 1024;

struct Fixture {
    tidewell::testing::TempFolder folder;
    std::size_t largestFile = 0;
    std::size_t largestImage = 0;
};

void fill(Fixture& f) {
    for (int i = 0; i < fileCount; ++i) {
        tidewell::sample::PrefetchImageSpec spec;
        spec.name = L"PROGRAM" + std::to_wstring(i) + L".EXE";
        spec.runTimeSlots = {133500000000000000ULL + static_cast<unsigned>(i)};
        spec.alternateRunCount = 1;
        for (int j = 0; j < 120 + i % 80; ++j) {
            spec.referencedFiles.push_back(
                L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\SYSTEM32\\LIBRARY" +
                std::to_wstring(j * 7 + i) + L".DLL");
        }
        spec.referencedFiles.push_back(L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\APPS\\" + spec.name);
        std::vector<std::uint8_t> image = tidewell::sample::buildPrefetchImage(spec);
        const std::vector<std::uint8_t> file = tidewell::sample::wrapInMamContainer(
            tidewell::sample::compressXpressHuffman(image.data(), image.size()),
            static_cast<std::uint32_t>(image.size()), true);
        f.largestFile = std::max(f.largestFile, file.size());
        f.largestImage = std::max(f.largestImage, image.size());
        f.folder.writeFile("PROGRAM" + std::to_string(i) + ".EXE-0000ABCD.pf", file);
    }
}

Fixture& fixture() {
    static Fixture made;
    static bool filled = false;
    if (!filled) {
        fill(made);
        filled = true;
    }
    return made;
}

void scanFolderOf1024CompressedFiles(benchmark::State& state) {
    Fixture& f = fixture();
    tidewell::fake::setVolumes({{L"vol", 0x1A2B3C4D, false, {L"C:\\"}, false, L""}});
    tidewell::testing::OpenedMachine opened;
    std::size_t transientPeak = 0;
    for (auto _ : state) {
        tidewell::RecordList records;
        records.reserve(fileCount);
        tidewell::ScanTally tally;
        const std::size_t before = tidewell::bench::liveHeapBytes();
        tidewell::bench::resetHeapPeak();
        tidewell::scanPrefetchFolder(opened.machine, f.folder.text(), records, tally);
        for (tidewell::LaunchRecord& record : records) {
            tidewell::choosePrefetchPath(record, tally);
        }
        const std::size_t kept =
            tidewell::bench::liveHeapBytes() - before; // the records themselves
        transientPeak = std::max(transientPeak, tidewell::bench::peakHeapBytes() - before - kept);
        if (tally[tidewell::prefetchParsed] != fileCount) {
            state.SkipWithError("not every file parsed");
            return;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * fileCount);
    state.counters["files_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * fileCount, benchmark::Counter::kIsRate);
    state.counters["peak_heap_beyond_records_bytes"] = static_cast<double>(transientPeak);
    state.counters["largest_file_plus_image_bytes"] =
        static_cast<double>(f.largestFile + f.largestImage);
}
BENCHMARK(scanFolderOf1024CompressedFiles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
