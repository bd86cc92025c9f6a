// Building the programs of a scan from 100,000 records of every source: the
// goal is at most 50 ms. The records mix resolved paths (most shared by
// several records), device paths that hash to Prefetch files or to none,
// and records without a path.
#include <string>

#include <benchmark/benchmark.h>

#include "bam/bam_details.h"
#include "bam/bam_source.h"
#include "compatcache/compat_cache_source.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_source.h"
#include "programs/prefetch_hash.h"
#include "programs/program_builder.h"
#include "userassist/userassist_source.h"

namespace {

tidewell::RecordList makeRecords(std::size_t count) {
    using namespace tidewell;
    RecordList records;
    records.reserve(count);
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (std::size_t i = 0; i < count; ++i) {
        // 40,000 files in all, so that most programs have records of
        // several sources, as on a real machine.
        const std::wstring name = L"program" + std::to_wstring(next() % 4000) + L".exe";
        const std::wstring folder = L"\\Vendor" + std::to_wstring(next() % 10) + L"\\";
        switch (i % 5) {
        case 0: {
            LaunchRecord record = makeRecord(prefetchSource);
            const std::wstring device = L"\\DEVICE\\HARDDISKVOLUME3" + folder + name;
            record.name = capitalsOf(name);
            record.path = L"C:" + capitalsOf(folder + name);
            record.pathStatus = PathStatus::Resolved;
            record.runTimes = {133500000000000000ULL + next()};
            PrefetchDetails& details = *prefetchDetails(record);
            details.formatVersion = 30;
            details.recordedPath = capitalsOf(device);
            details.pathHash =
                prefetchHash(PrefetchHashFunction::WindowsVista, details.recordedPath);
            records.push_back(std::move(record));
            break;
        }
        case 1: {
            LaunchRecord record = makeRecord(bamSource);
            BamDetails& details = *bamDetails(record);
            details.recordedName =
                L"\\Device\\HarddiskVolume" + std::to_wstring(3 + next() % 2) + folder + name;
            record.name = name;
            record.path = details.recordedName;
            record.pathStatus = PathStatus::VolumeNotIdentified;
            record.runTimes = {133500000000000000ULL + next()};
            record.userSid = L"S-1-5-21-1-2-3-100" + std::to_wstring(next() % 4);
            records.push_back(std::move(record));
            break;
        }
        case 2: {
            LaunchRecord record = makeRecord(userAssistSource);
            record.name = name;
            record.path = L"C:" + folder + name;
            record.pathStatus = next() % 8 == 0 ? PathStatus::NoPathRecorded : PathStatus::Resolved;
            record.runTimes = {133500000000000000ULL + next()};
            records.push_back(std::move(record));
            break;
        }
        default: {
            LaunchRecord record = makeRecord(appCompatCacheSource);
            record.name = name;
            record.path = L"\\??\\c:" + folder + name;
            record.pathStatus = PathStatus::Resolved;
            records.push_back(std::move(record));
            break;
        }
        }
    }
    return records;
}

void buildPrograms(benchmark::State& state) {
    const tidewell::RecordList records = makeRecords(static_cast<std::size_t>(state.range(0)));
    tidewell::ScanOrigin origin;
    origin.evidence = true;
    std::size_t programs = 0;
    for (auto _ : state) {
        const tidewell::ProgramList list = tidewell::buildPrograms(records, origin);
        programs = list.programs.size();
        benchmark::DoNotOptimize(programs);
    }
    state.counters["programs"] = static_cast<double>(programs);
}
BENCHMARK(buildPrograms)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
