// Hive files for tests: loading one with the logs beside it, and listing a
// subtree the way a registry export lists it, so that what the hive reader
// serves can be compared with an export of the same hive.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "hive/hive_image.h"
#include "hive/hive_load.h"
#include "registry/registry.h"
#include "support/reg_file.h"

namespace tidewell::testing {

struct LoadedHive {
    HiveImage image;
    HiveLoad load;
};

// The primary file with its .LOG1 and .LOG2 beside it, where they exist.
LoadedHive loadHiveFiles(const std::filesystem::path& primary);

LoadedHive loadHiveBytes(std::vector<std::uint8_t> primary,
                         const std::vector<std::uint8_t>& log1 = {},
                         const std::vector<std::uint8_t>& log2 = {});

// Every key below key (itself included, as prefix) with its values, in the
// order the registry enumerates them. Failures of the registry's
// operations are counted in errors.
void exportSubtree(const RegistryKey& key, const std::wstring& prefix,
                   std::vector<RegFileKey>& keys, std::uint32_t& errors);

} // namespace tidewell::testing
