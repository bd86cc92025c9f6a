// seeds_bam_value: the target's own form (the registry type and moderator in
// one byte, the name's length in bytes, the name, the data) for a device
// path, a packaged application and a value too short for a time.
#include "bam/sample/bam_values.h"
#include "fuzz/seed_writer.h"

namespace {

tidewell::fuzz::Bytes bamSeed(std::uint8_t typeAndModerator, const std::wstring& name,
                              const tidewell::fuzz::Bytes& value) {
    tidewell::fuzz::Bytes seed = {typeAndModerator, static_cast<std::uint8_t>(name.size() * 2),
                                  static_cast<std::uint8_t>(name.size() * 2 >> 8)};
    for (wchar_t unit : name) {
        seed.push_back(static_cast<std::uint8_t>(unit));
        seed.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
    }
    seed.insert(seed.end(), value.begin(), value.end());
    return seed;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        using tidewell::sample::bamData;
        seeds.write("device", bamSeed(3, L"\\Device\\HarddiskVolume3\\cmd.exe",
                                      bamData(0x01D9A1B2C3D4E5F6ULL)));
        seeds.write("package",
                    bamSeed(0x13, L"Microsoft.Windows.Photos_8wekyb3d8bbwe", bamData(0)));
        seeds.write("short", bamSeed(3, L"\\Device\\x", Bytes(7, 1)));
    });
}
