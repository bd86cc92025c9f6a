// Parsing speed over the corpus's plain Prefetch images, held in memory so
// that only the parser is measured.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "prefetch/prefetch_parser.h"
#include "support/corpus_files.h"

namespace {

struct Image {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

std::vector<Image> plainCorpusImages() {
    std::vector<Image> images;
    const std::filesystem::path root = tidewell::testing::corpusRoot() / "prefetch";
    std::error_code error;
    if (!std::filesystem::is_directory(root, error)) {
        return images;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        Image image{entry.path().filename().string(),
                    std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>())};
        if (image.bytes.size() >= 8 && image.bytes[4] == 'S' && image.bytes[5] == 'C') {
            images.push_back(std::move(image));
        }
    }
    return images;
}

void parseWholeCorpus(benchmark::State& state) {
    const std::vector<Image> images = plainCorpusImages();
    if (images.empty()) {
        state.SkipWithError("corpus absent");
        return;
    }
    std::size_t bytes = 0;
    for (const Image& image : images) {
        bytes += image.bytes.size();
    }
    const std::wstring path = L"C:\\Windows\\Prefetch\\X.pf";
    for (auto _ : state) {
        tidewell::ScanTally tally;
        for (const Image& image : images) {
            tidewell::LaunchRecord record;
            benchmark::DoNotOptimize(tidewell::parsePrefetch(image.bytes.data(), image.bytes.size(),
                                                             path, record, tally));
            benchmark::DoNotOptimize(record);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * images.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["files"] = static_cast<double>(images.size());
}
BENCHMARK(parseWholeCorpus);

} // namespace

BENCHMARK_MAIN();
