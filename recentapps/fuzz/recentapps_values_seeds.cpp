// seeds_recentapps_values: the target's own form for a program with its
// count and time and one opened file.
#include "fuzz/seed_writer.h"
#include "sample/evidence_tree.h"

namespace {

void addValue(tidewell::fuzz::Bytes& seed, std::uint8_t type, const std::wstring& name,
              const tidewell::fuzz::Bytes& data) {
    seed.push_back(type);
    seed.push_back(static_cast<std::uint8_t>(name.size() * 2));
    seed.push_back(static_cast<std::uint8_t>(data.size()));
    for (wchar_t unit : name) {
        seed.push_back(static_cast<std::uint8_t>(unit));
        seed.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
    }
    seed.insert(seed.end(), data.begin(), data.end());
}

} // namespace

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    using tidewell::sample::registryText;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        const Bytes time = {0x20, 0x3A, 0x1B, 0x7F, 0x0D, 0xF7, 0xD2, 0x01};
        Bytes key;
        addValue(key, 11, L"LastAccessedTime", time);
        addValue(key, 1, L"AppId", registryText(L"D:\\setup64.exe"));
        addValue(key, 4, L"LaunchCount", tidewell::sample::registryDword(1));
        addValue(key, 1, L"AppPath", registryText(L""));
        addValue(key, 1, L"|", {});
        addValue(key, 1, L"DisplayName", registryText(L"a.txt"));
        addValue(key, 1, L"Path", registryText(L"C:\\a.txt"));
        addValue(key, 11, L"LastAccessedTime", time);
        seeds.write("program", key);
    });
}
