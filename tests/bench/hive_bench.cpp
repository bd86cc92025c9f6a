// The hive reader at scale: opening a 100 MB hive made by the hive writer
// and reading one deep key (the cost of an evidence scan's first look at a
// large hive), and a walk of every key and value of the corpus's real SYSTEM
// hive (11.7 MB), both in MB/s of hive.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "hive/hive_load.h"
#include "platform/error_codes.h"
#include "registry/registry.h"
#include "sample/hive_writer.h"
#include "support/corpus_files.h"

namespace {

using tidewell::RegistryKey;

const std::vector<std::uint8_t>& largeHive() {
    static const std::vector<std::uint8_t> file = [] {
        tidewell::sample::HiveSpec spec;
        // 1,200 keys of 700 UserAssist-sized values each, about 100 MB.
        for (int k = 0; k < 1200; ++k) {
            tidewell::sample::HiveKeySpec key;
            key.name = L"Key" + std::to_wstring(k);
            for (int v = 0; v < 700; ++v) {
                key.values.push_back({L"Value" + std::to_wstring(v), 3,
                                      std::vector<std::uint8_t>(72, static_cast<std::uint8_t>(v))});
            }
            spec.root.subkeys.push_back(std::move(key));
        }
        // And a chain of twenty keys below one of them.
        tidewell::sample::HiveKeySpec* deep = &spec.root.subkeys[600];
        for (int depth = 0; depth < 20; ++depth) {
            deep->subkeys.push_back({L"Deep" + std::to_wstring(depth), {}, {}, {}, 500});
            deep = &deep->subkeys.back();
        }
        deep->values.push_back({L"Found", 4, {1, 0, 0, 0}});
        return tidewell::sample::writeHive(spec);
    }();
    return file;
}

std::wstring deepPath() {
    std::wstring path = L"Key600";
    for (int depth = 0; depth < 20; ++depth) {
        path += L"\\Deep" + std::to_wstring(depth);
    }
    return path;
}

void BM_OpenLargeHiveAndReadOneDeepKey(benchmark::State& state) {
    const std::vector<std::uint8_t>& file = largeHive();
    const std::wstring path = deepPath();
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = file; // the file as read from disk
        tidewell::HiveImage image;
        tidewell::loadHive(std::move(bytes), {}, {}, image);
        RegistryKey root;
        RegistryKey key;
        tidewell::openHiveRoot(image, root);
        std::uint32_t type = 0;
        std::uint8_t data[4] = {};
        std::uint32_t size = sizeof data;
        if (tidewell::regOpenKey(root, path, tidewell::registryKeyRead, key) != ERROR_SUCCESS ||
            tidewell::regQueryValue(key, L"Found", type, data, size) != ERROR_SUCCESS) {
            state.SkipWithError("the deep key was not found");
            return;
        }
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
    state.counters["hive_MB"] = static_cast<double>(file.size()) / 1e6;
}
BENCHMARK(BM_OpenLargeHiveAndReadOneDeepKey)->Unit(benchmark::kMillisecond);

void walk(const RegistryKey& key, int depth, std::size_t& items, std::vector<std::uint8_t>& data) {
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        if (tidewell::regEnumValue(key, index, 16384, name, type, nullptr, size) != ERROR_SUCCESS) {
            break;
        }
        data.resize(size);
        tidewell::regEnumValue(key, index, 16384, name, type, data.data(), size);
        ++items;
    }
    for (std::uint32_t index = 0; depth < 512; ++index) {
        std::wstring name;
        RegistryKey subkey;
        if (tidewell::regEnumKey(key, index, 256, name) != ERROR_SUCCESS ||
            tidewell::regOpenKey(key, name, tidewell::registryKeyRead, subkey) != ERROR_SUCCESS) {
            break;
        }
        ++items;
        walk(subkey, depth + 1, items, data);
    }
}

void BM_WalkTheCorpusSystemHive(benchmark::State& state) {
    const std::vector<std::uint8_t> file = tidewell::testing::readWholeFile(
        tidewell::testing::corpusRoot() / "hives-recovery/regipy/SYSTEM");
    if (file.empty()) {
        state.SkipWithError("the corpus SYSTEM hive is absent");
        return;
    }
    std::size_t items = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = file;
        tidewell::HiveImage image;
        tidewell::loadHive(std::move(bytes), {}, {}, image);
        RegistryKey root;
        tidewell::openHiveRoot(image, root);
        std::vector<std::uint8_t> data;
        items = 0;
        walk(root, 0, items, data);
        benchmark::DoNotOptimize(items);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
    state.counters["keys_and_values"] = static_cast<double>(items);
}
BENCHMARK(BM_WalkTheCorpusSystemHive)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
