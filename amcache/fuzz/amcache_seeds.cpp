// seeds_amcache: a hive in the hive targets' form holding entries of both
// layouts.
#include "amcache/sample/amcache_hives.h"
#include "fuzz/seed_writer.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        const tidewell::sample::HiveSpec amcache = tidewell::sample::amcacheHive(
            {{L"a.exe|1", L"c:\\a.exe", L"a.exe", L"0000" + std::wstring(40, L'a'), L"p", L"1.0",
              L"12/26/2021 14:00:00", 7}},
            {{L"{v}", L"10000123", L"c:\\b.exe", L"0000" + std::wstring(40, L'b'), 5, 6, 1600000000,
              9}});
        seeds.write("both-layouts", hiveSeed(tidewell::sample::writeHive(amcache), {}));
    });
}
