// seeds_hive: hives in the hive targets' form, clean with every kind of
// subkey list, with a big value, and dirty with a log of each format.
#include "fuzz/seed_writer.h"
#include "sample/hive_writer.h"

namespace {

using namespace tidewell::fuzz;
using namespace tidewell::sample;

HiveSpec hiveSpec(SubkeyListKind kind, std::size_t bigValue, std::uint32_t sequence) {
    HiveSpec hive;
    hive.sequence = sequence;
    HiveKeySpec software{L"Software", {}, {}, kind, 2};
    software.values = {{L"Count", 4, {1, 0, 0, 0}},
                       {L"Entry", 3, Bytes(72, 7)},
                       {L"\u00C9t\u00E9", 1, {'a', 0, 0, 0}}};
    if (bigValue != 0) {
        software.values.push_back({L"Big", 3, Bytes(bigValue, 3)});
    }
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        software.subkeys.push_back({name, {{L"v", 4, {2, 0, 0, 0}}}, {}, kind, 2});
    }
    hive.root.subkeys = {software};
    return hive;
}

void hiveSeeds(SeedFolder& seeds) {
    for (SubkeyListKind kind : {SubkeyListKind::IndexLeaf, SubkeyListKind::FastLeaf,
                                SubkeyListKind::HashLeaf, SubkeyListKind::IndexRoot}) {
        seeds.write("clean-" + std::to_string(static_cast<int>(kind)),
                    hiveSeed(writeHive(hiveSpec(kind, 0, 5)), {}));
    }
    seeds.write("big-data", hiveSeed(writeHive(hiveSpec(SubkeyListKind::HashLeaf, 20000, 5)), {}));
    const Bytes before = writeHive(hiveSpec(SubkeyListKind::HashLeaf, 0, 5));
    const Bytes after = writeHive(hiveSpec(SubkeyListKind::IndexRoot, 17000, 6));
    Bytes primary = before;
    setSequenceNumbers(primary, 6, 5);
    const auto binsSize = static_cast<std::uint32_t>(after.size() - 4096);
    seeds.write("dirty-new-log",
                hiveSeed(primary, writeNewFormatLog(primary, 6,
                                                    {{6, binsSize, changedPages(before, after)}})));
    seeds.write("dirty-old-log", hiveSeed(primary, writeOldFormatLog(before, after)));
}

} // namespace

int main(int argc, char** argv) {
    return seedsMain(argc, argv, hiveSeeds);
}
