// seeds_runmru_key: the target's own form (per value its type, the name's
// and the data's lengths in bytes, the name, the data) for a key as Windows
// writes it and one whose MRUList names a missing letter.
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
        addValue(key, 1, L"a", registryText(L"cmd\\1"));
        addValue(key, 1, L"b", registryText(L"C:\\Tools\\x.exe\\1"));
        addValue(key, 1, L"MRUList", registryText(L"ba"));
        seeds.write("key", key);
        Bytes missing;
        addValue(missing, 1, L"a", registryText(L"regedit\\1"));
        addValue(missing, 1, L"MRUList", registryText(L"za"));
        seeds.write("missing", missing);
    });
}
