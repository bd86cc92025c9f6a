#include "fuzz/seed_writer.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace tidewell::fuzz {

void SeedFolder::write(const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    failed |= !out.good();
}

Bytes readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes hiveSeed(const Bytes& primary, const Bytes& log) {
    const auto size = static_cast<std::uint32_t>(primary.size());
    Bytes seed = {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                  static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
    seed.insert(seed.end(), primary.begin(), primary.end());
    seed.insert(seed.end(), log.begin(), log.end());
    return seed;
}

int seedsMain(int argc, char** argv, void (*writeSeeds)(SeedFolder& seeds)) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER [CORPUS]\n", argc > 0 ? argv[0] : "seeds");
        return 2;
    }
    SeedFolder seeds{argv[1], argc == 3 ? std::filesystem::path(argv[2]) : std::filesystem::path()};
    writeSeeds(seeds);
    if (seeds.failed) {
        std::fprintf(stderr, "%s: a seed could not be written\n", argv[0]);
        return 1;
    }
    return 0;
}

} // namespace tidewell::fuzz
