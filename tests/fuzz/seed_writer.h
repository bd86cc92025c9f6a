// What every fuzz target's seed writer shares: its folder, a seed written
// there, the real files of the corpus that fit its bound, and the hive
// targets' input form. Each target's own seeds are written by a small
// program beside it (seeds_NAME FOLDER [CORPUS]), which scripts/fuzz runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tidewell::fuzz {

using Bytes = std::vector<std::uint8_t>;

struct SeedFolder {
    std::filesystem::path folder;
    std::filesystem::path corpus; // the shared corpus; empty where none was named
    bool failed = false;

    void write(const std::string& name, const Bytes& bytes);
};

Bytes readFile(const std::filesystem::path& file);

// The hive targets' input: the primary file's length in four bytes, the
// primary file, its log (see hive_input.h).
Bytes hiveSeed(const Bytes& primary, const Bytes& log);

// The seed writer's main: its seeds into the folder named first, with the
// corpus named second where there is one; 1 when a seed could not be written.
int seedsMain(int argc, char** argv, void (*writeSeeds)(SeedFolder& seeds));

} // namespace tidewell::fuzz
