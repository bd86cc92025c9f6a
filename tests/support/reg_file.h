// A reader of "Windows Registry Editor Version 5.00" exports, enough for the
// corpus's UserAssist exports: keys, and values written as strings, dword,
// hex and hex(n), with escaped names and continued lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "registry/registry.h"

namespace tidewell::testing {

struct RegFileValue {
    std::wstring name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct RegFileKey {
    std::wstring path; // below the root the export names
    std::vector<RegFileValue> values;
};

// The keys of an export whose keys all lie under root (such as
// "HKEY_CURRENT_USER"); false when the text is not such an export.
bool parseRegFile(const std::string& text, const std::string& root, std::vector<RegFileKey>& keys);

// Loads the keys into the fake registry under the given root, below
// prefix (native builds only).
void loadIntoFake(const std::vector<RegFileKey>& keys, RegistryRoot root,
                  const std::wstring& prefix);

// The same export with its root rewritten (for another user's hive).
std::string rerootRegFile(const std::string& text, const std::string& from, const std::string& to);

} // namespace tidewell::testing
