// seeds_recentapps_values: the target's own form for a program with its
// count and time and one opened file.
#include "fuzz/key_values.h"
#include "fuzz/seed_writer.h"
#include "sample/evidence_tree.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    using tidewell::sample::registryText;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        const Bytes time = {0x20, 0x3A, 0x1B, 0x7F, 0x0D, 0xF7, 0xD2, 0x01};
        Bytes key;
        appendKeyValue(key, 11, L"LastAccessedTime", time);
        appendKeyValue(key, 1, L"AppId", registryText(L"D:\\setup64.exe"));
        appendKeyValue(key, 4, L"LaunchCount", tidewell::sample::registryDword(1));
        appendKeyValue(key, 1, L"AppPath", registryText(L""));
        appendKeyValue(key, 1, L"|", {});
        appendKeyValue(key, 1, L"DisplayName", registryText(L"a.txt"));
        appendKeyValue(key, 1, L"Path", registryText(L"C:\\a.txt"));
        appendKeyValue(key, 11, L"LastAccessedTime", time);
        seeds.write("program", key);
    });
}
