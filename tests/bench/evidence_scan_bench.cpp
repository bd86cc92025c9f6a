// A whole scan of an evidence folder, report written, beside reading every
// file of the same folder with cat, in the same run: a written root of 1,000
// compressed Prefetch files and 20 users' hives, read through the program's
// own backend as the command-line tool reads it. Peak heap is stated beside
// the largest file, which the scan should not need much more than.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "heap_counter.h"

#include "prefetch/sample/prefetch_image_builder.h"
#include "prefetch/sample/xpress_huffman_encoder.h"
#include "report/report_commit.h"
#include "sample/evidence_tree.h"
#include "scan/scan_driver.h"
#include "support/temp_folder.h"
#include "userassist/sample/userassist_values.h"

namespace {

using namespace tidewell;

constexpr int prefetchFiles = 1000;
constexpr int users = 20;
const std::wstring countKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                              L"UserAssist\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";

struct Root {
    testing::TempFolder folder;
    std::size_t largestFile = 0;
    std::size_t bytes = 0;

    void write(const std::string& relative, const std::vector<std::uint8_t>& contents) {
        sample::writeEvidenceFile(folder.path, relative, contents);
        largestFile = std::max(largestFile, contents.size());
        bytes += contents.size();
    }
};

std::wstring userSid(int user) {
    return L"S-1-5-21-4000000001-4000000002-4000000003-" + std::to_wstring(1001 + user);
}

void fill(Root& root) {
    std::vector<sample::EvidenceProfile> profiles;
    for (int user = 0; user < users; ++user) {
        profiles.push_back({userSid(user), L"C:\\Users\\user" + std::to_wstring(user)});
    }
    root.write("Windows/System32/config/SOFTWARE",
               sample::writeHive(sample::softwareHive(profiles)));
    root.write("Windows/System32/config/SYSTEM", sample::writeHive(sample::systemHive(3)));
    for (int i = 0; i < prefetchFiles; ++i) {
        sample::PrefetchImageSpec spec = sample::programSpec(
            30, L"PROGRAM" + std::to_wstring(i) + L".EXE", 0x0000ABCD,
            {133500000000000000ULL + static_cast<unsigned>(i) * 10000000ULL}, 1);
        for (int j = 0; j < 120 + i % 80; ++j) {
            spec.referencedFiles.push_back(L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\"
                                           L"SYSTEM32\\LIBRARY" +
                                           std::to_wstring(j * 7 + i) + L".DLL");
        }
        const std::vector<std::uint8_t> image = sample::buildPrefetchImage(spec);
        root.write(
            "Windows/Prefetch/PROGRAM" + std::to_string(i) + ".EXE-0000ABCD.pf",
            sample::wrapInMamContainer(sample::compressXpressHuffman(image.data(), image.size()),
                                       static_cast<std::uint32_t>(image.size()), true));
    }
    for (int user = 0; user < users; ++user) {
        sample::HiveSpec hive;
        sample::HiveKeySpec& count = sample::keyAt(hive.root, countKey);
        for (int entry = 0; entry < 300; ++entry) {
            count.values.push_back(
                {sample::rot13(L"C:\\Tools\\tool" + std::to_wstring(entry) + L".exe"), 3,
                 sample::userAssistData(3, 4, 1000, 133500000000000000ULL + entry)});
        }
        // A user hive carries much else beside: some settings' worth of bulk.
        sample::keyAt(hive.root, L"Software\\Bulk")
            .values.push_back({L"Blob", 3, std::vector<std::uint8_t>(512 * 1024, 0x11)});
        root.write("Users/user" + std::to_string(user) + "/NTUSER.DAT", sample::writeHive(hive));
    }
}

Root& writtenRoot() {
    static Root root;
    static bool filled = false;
    if (!filled) {
        fill(root);
        filled = true;
    }
    return root;
}

void scanWrittenRoot(benchmark::State& state) {
    Root& root = writtenRoot();
    const ScanTarget target{ScanSubject::EvidenceRoot, testing::programText(root.folder.path)};
    const testing::TempFolder out;
    const std::wstring report = testing::programText(out.path / "report.csv");
    std::size_t records = 0;
    std::size_t peak = 0;
    for (auto _ : state) {
        const std::size_t before = bench::liveHeapBytes();
        bench::resetHeapPeak();
        ScanResults results;
        runScan(target, results);
        if (!writeReport(report, results)) {
            state.SkipWithError("the report was not written");
            return;
        }
        records = results.records.size();
        peak = std::max(peak, bench::peakHeapBytes() - before);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * root.bytes));
    state.counters["records"] = static_cast<double>(records);
    state.counters["peak_heap_bytes"] = static_cast<double>(peak);
    state.counters["largest_file_bytes"] = static_cast<double>(root.largestFile);
}
BENCHMARK(scanWrittenRoot)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// The reference: every file of the same root read once, by cat.
void catWrittenRoot(benchmark::State& state) {
    Root& root = writtenRoot();
    const std::string command =
        "find '" + root.folder.path.string() + "' -type f -exec cat {} + >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cat failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * root.bytes));
}
BENCHMARK(catWrittenRoot)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
