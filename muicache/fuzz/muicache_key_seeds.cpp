// seeds_muicache_key: the target's own form (per value its type, the
// name's and the data's lengths in bytes, the name, the data) for both
// forms of a program's names and the names of no program.
#include "fuzz/key_values.h"
#include "fuzz/seed_writer.h"
#include "sample/evidence_tree.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    using tidewell::sample::registryText;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        Bytes key;
        appendKeyValue(key, 3, L"LangID", {9, 4});
        appendKeyValue(key, 1, L"C:\\a.exe.FriendlyAppName", registryText(L"A"));
        appendKeyValue(key, 1, L"C:\\a.exe.ApplicationCompany", registryText(L"Maker"));
        appendKeyValue(key, 1, L"@shell32.dll,-1", registryText(L"Catalog"));
        appendKeyValue(key, 1, L"C:\\old.exe", registryText(L"Old"));
        seeds.write("key", key);
    });
}
