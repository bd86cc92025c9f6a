// seeds_compat_cache: values of every layout read, each with a drive path
// and a system-volume path (the corpus's real values are all larger than
// the target's bound).
#include "compatcache/sample/compat_cache_values.h"
#include "fuzz/seed_writer.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        using namespace tidewell::sample;
        const std::vector<CacheEntrySpec> entries = {
            {L"\\??\\C:\\Windows\\system32\\cmd.exe",
             0x01D5F51EA48267CAULL,
             2,
             0x100,
             {1, 2, 3, 4},
             L""},
            {L"SYSVOL\\x.exe", 0x01CF6F90E174D8D4ULL, 7, 0, {}, L"Contoso.Tool"}};
        for (CacheLayoutSpec layout :
             {CacheLayoutSpec::Windows7x86, CacheLayoutSpec::Windows7x64,
              CacheLayoutSpec::Windows80, CacheLayoutSpec::Windows81, CacheLayoutSpec::Windows10,
              CacheLayoutSpec::Windows10Creators}) {
            seeds.write("layout-" + std::to_string(static_cast<int>(layout)),
                        compatCacheValue(layout, entries));
        }
    });
}
