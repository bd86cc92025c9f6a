// seeds_muicache_key: the target's own form (per value its type, the
// name's and the data's lengths in bytes, the name, the data) for both
// forms of a program's names and the names of no program.
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
        Bytes key;
        addValue(key, 3, L"LangID", {9, 4});
        addValue(key, 1, L"C:\\a.exe.FriendlyAppName", registryText(L"A"));
        addValue(key, 1, L"C:\\a.exe.ApplicationCompany", registryText(L"Maker"));
        addValue(key, 1, L"@shell32.dll,-1", registryText(L"Catalog"));
        addValue(key, 1, L"C:\\old.exe", registryText(L"Old"));
        seeds.write("key", key);
    });
}
