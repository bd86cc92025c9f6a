// A whole scan of an evidence folder, report written, beside reading every
// file of the same folder with cat, in the same run: a written root of 1,000
// compressed Prefetch files and 20 users' hives, and a root of the corpus's
// real Prefetch files (Windows XP to 11) and real user hives, each read
// through the program's own backend as the command-line tool reads it. The
// heap the scan needs beyond what it keeps (its records, the programs) is
// stated beside the largest file: it must not grow with the number of files.
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
#include "support/corpus_files.h"
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

// The corpus's real files where Windows keeps them: every Prefetch file (its
// folder's name before its own, as names repeat across machines) and the
// user hives, one profile each; SOFTWARE lists the profiles.
Root& corpusRoot() {
    static Root root;
    static bool filled = false;
    if (filled) {
        return root;
    }
    filled = true;
    const std::vector<std::filesystem::path> prefetch = testing::corpusFiles("prefetch");
    const std::vector<std::filesystem::path> hives = {
        testing::corpusRoot() / "hives/plaso/NTUSER.DAT",
        testing::corpusRoot() / "hives/plaso/NTUSER-WIN7.DAT",
        testing::corpusRoot() / "hives/plaso/NTUSER-CCLEANER.DAT",
        testing::corpusRoot() / "hives/regipy/NTUSER.DAT"};
    std::vector<sample::EvidenceProfile> profiles;
    for (std::size_t user = 0; user < hives.size(); ++user) {
        profiles.push_back(
            {userSid(static_cast<int>(user)), L"C:\\Users\\user" + std::to_wstring(user)});
        root.write("Users/user" + std::to_string(user) + "/NTUSER.DAT",
                   testing::readWholeFile(hives[user]));
    }
    root.write("Windows/System32/config/SOFTWARE",
               sample::writeHive(sample::softwareHive(profiles)));
    root.write("Windows/System32/config/SYSTEM", sample::writeHive(sample::systemHive(3)));
    for (const std::filesystem::path& file : prefetch) {
        if (file.extension() == ".pf") {
            root.write("Windows/Prefetch/" + file.parent_path().filename().string() + "-" +
                           file.filename().string(),
                       testing::readWholeFile(file));
        }
    }
    return root;
}

Root& rootOf(const benchmark::State& state) {
    return state.range(0) == 0 ? writtenRoot() : corpusRoot();
}

void scanRoot(benchmark::State& state) {
    Root& root = rootOf(state);
    if (root.bytes == 0) {
        state.SkipWithError("the corpus is absent");
        return;
    }
    const ScanTarget target{ScanSubject::EvidenceRoot, testing::programText(root.folder.path)};
    const testing::TempFolder out;
    const std::wstring report = testing::programText(out.path / "report.csv");
    std::size_t records = 0;
    std::size_t transient = 0;
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
        // What the results hold is kept; the rest of the peak was passing.
        const std::size_t kept = bench::liveHeapBytes() - before;
        transient = std::max(transient, bench::peakHeapBytes() - before - kept);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * root.bytes));
    state.SetLabel(state.range(0) == 0 ? "written root" : "corpus root");
    state.counters["records"] = static_cast<double>(records);
    state.counters["peak_heap_beyond_results_bytes"] = static_cast<double>(transient);
    state.counters["largest_file_bytes"] = static_cast<double>(root.largestFile);
    state.counters["files_bytes"] = static_cast<double>(root.bytes);
}
BENCHMARK(scanRoot)
    ->DenseRange(0, 1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The reference: every file of the same root read once, by cat.
void catRoot(benchmark::State& state) {
    Root& root = rootOf(state);
    if (root.bytes == 0) {
        state.SkipWithError("the corpus is absent");
        return;
    }
    const std::string command =
        "find '" + root.folder.path.string() + "' -type f -exec cat {} + >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cat failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * root.bytes));
    state.SetLabel(state.range(0) == 0 ? "written root" : "corpus root");
}
BENCHMARK(catRoot)
    ->DenseRange(0, 1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
