// A user's MUICache as the shell writes it, for tests and sample machines:
// Vista and later "PATH.FriendlyAppName" and "PATH.ApplicationCompany" in
// the classes hive; Windows XP's "PATH" alone in the user's hive; each
// with a resource string and LangID beside them, as the shell keeps.
#pragma once

#include <string>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

struct MuiCacheProgram {
    std::wstring path;
    std::wstring description;
    std::wstring company;
};

// Into a classes hive's root.
void addMuiCache(HiveKeySpec& classesRoot, const std::vector<MuiCacheProgram>& programs);

// Into a Windows XP user's hive's root (descriptions only).
void addXpMuiCache(HiveKeySpec& userRoot, const std::vector<MuiCacheProgram>& programs);

} // namespace tidewell::sample
