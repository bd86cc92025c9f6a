// seeds_featureusage_value: the target's own form (key and type in one
// byte, the name's length in units, the name, the data) for a path, a
// folder id and path, and an application id.
#include "fuzz/seed_writer.h"
#include "sample/evidence_tree.h"

namespace {

tidewell::fuzz::Bytes valueSeed(std::uint8_t keyAndType, const std::wstring& name,
                                const tidewell::fuzz::Bytes& data) {
    tidewell::fuzz::Bytes seed = {keyAndType, static_cast<std::uint8_t>(name.size())};
    for (wchar_t unit : name) {
        seed.push_back(static_cast<std::uint8_t>(unit));
        seed.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
    }
    seed.insert(seed.end(), data.begin(), data.end());
    return seed;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        const Bytes count = tidewell::sample::registryDword(28);
        seeds.write("path", valueSeed(4 << 2, L"C:\\Tools\\a.exe", count));
        seeds.write("folder", valueSeed(4 << 2 | 1,
                                        L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\cmd.exe", count));
        seeds.write("app",
                    valueSeed(4 << 2 | 2, L"Microsoft.WindowsStore_8wekyb3d8bbwe!App", count));
    });
}
