// seeds_runmru_key: the target's own form (per value its type, the name's
// and the data's lengths in bytes, the name, the data) for a key as Windows
// writes it and one whose MRUList names a missing letter.
#include "fuzz/key_values.h"
#include "fuzz/seed_writer.h"
#include "sample/evidence_tree.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    using tidewell::sample::registryText;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        Bytes key;
        appendKeyValue(key, 1, L"a", registryText(L"cmd\\1"));
        appendKeyValue(key, 1, L"b", registryText(L"C:\\Tools\\x.exe\\1"));
        appendKeyValue(key, 1, L"MRUList", registryText(L"ba"));
        seeds.write("key", key);
        Bytes missing;
        appendKeyValue(missing, 1, L"a", registryText(L"regedit\\1"));
        appendKeyValue(missing, 1, L"MRUList", registryText(L"za"));
        seeds.write("missing", missing);
    });
}
