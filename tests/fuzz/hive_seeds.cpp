// Writes seeds for the hive fuzz target into the folder it is given: small
// hives made by the hive writer, clean and dirty, in the target's input
// form (the primary file's length, the primary file, its log).
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/sample/hive_writer.h"

namespace {

using tidewell::sample::HiveKeySpec;
using tidewell::sample::HiveSpec;
using tidewell::sample::SubkeyListKind;

void writeSeed(const std::string& folder, const std::string& name,
               const std::vector<std::uint8_t>& primary, const std::vector<std::uint8_t>& log) {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    const auto size = static_cast<std::uint32_t>(primary.size());
    const char length[4] = {static_cast<char>(size), static_cast<char>(size >> 8),
                            static_cast<char>(size >> 16), static_cast<char>(size >> 24)};
    out.write(length, 4);
    out.write(reinterpret_cast<const char*>(primary.data()),
              static_cast<std::streamsize>(primary.size()));
    out.write(reinterpret_cast<const char*>(log.data()), static_cast<std::streamsize>(log.size()));
}

HiveSpec spec(SubkeyListKind kind, std::size_t bigValue, std::uint32_t sequence) {
    HiveSpec hive;
    hive.sequence = sequence;
    HiveKeySpec software{L"Software", {}, {}, kind, 2};
    software.values = {{L"Count", 4, {1, 0, 0, 0}},
                       {L"Entry", 3, std::vector<std::uint8_t>(72, 7)},
                       {L"\u00C9t\u00E9", 1, {'a', 0, 0, 0}}};
    if (bigValue != 0) {
        software.values.push_back({L"Big", 3, std::vector<std::uint8_t>(bigValue, 3)});
    }
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        software.subkeys.push_back({name, {{L"v", 4, {2, 0, 0, 0}}}, {}, kind, 2});
    }
    hive.root.subkeys = {software};
    return hive;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_hive_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    using namespace tidewell::sample;
    for (SubkeyListKind kind : {SubkeyListKind::IndexLeaf, SubkeyListKind::FastLeaf,
                                SubkeyListKind::HashLeaf, SubkeyListKind::IndexRoot}) {
        writeSeed(folder, "clean-" + std::to_string(static_cast<int>(kind)),
                  writeHive(spec(kind, 0, 5)), {});
    }
    writeSeed(folder, "big-data", writeHive(spec(SubkeyListKind::HashLeaf, 20000, 5)), {});

    std::vector<std::uint8_t> before = writeHive(spec(SubkeyListKind::HashLeaf, 0, 5));
    std::vector<std::uint8_t> after = writeHive(spec(SubkeyListKind::IndexRoot, 17000, 6));
    std::vector<std::uint8_t> primary = before;
    setSequenceNumbers(primary, 6, 5);
    const auto binsSize = static_cast<std::uint32_t>(after.size() - 4096);
    writeSeed(folder, "dirty-new-log", primary,
              writeNewFormatLog(primary, 6, {{6, binsSize, changedPages(before, after)}}));
    writeSeed(folder, "dirty-old-log", primary, writeOldFormatLog(before, after));
    return 0;
}
