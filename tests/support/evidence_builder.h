// Builds evidence roots for tests: a folder holding a copy of a Windows
// system drive, with SOFTWARE and SYSTEM hives and users' NTUSER.DAT files
// made by the hive writer (or copied from the corpus), and Prefetch files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/sample/hive_writer.h"

namespace tidewell::testing {

// REG_SZ (or REG_EXPAND_SZ) data: the text in UTF-16LE with its NUL.
std::vector<std::uint8_t> registryText(const std::wstring& text);
// REG_DWORD data.
std::vector<std::uint8_t> registryDword(std::uint32_t value);

sample::HiveValueSpec textValue(const std::wstring& name, const std::wstring& text,
                                std::uint32_t type = 1);

// The key at a backslash-separated path below key, made on the way.
sample::HiveKeySpec& keyAt(sample::HiveKeySpec& key, const std::wstring& path);

struct EvidenceProfile {
    std::wstring sid;
    std::wstring imagePath; // ProfileImagePath as the machine stores it
};

// A SOFTWARE hive that lists the profiles and records Windows at
// C:\Windows, its program folders and (with a version) Windows 10.
sample::HiveSpec softwareHive(const std::vector<EvidenceProfile>& profiles);

// A SYSTEM hive whose current control set (the second) holds EnablePrefetcher.
sample::HiveSpec systemHive(std::uint32_t enablePrefetcher);

// Writes bytes to folder/relative (backslashes or slashes), folders made on
// the way.
void writeEvidenceFile(const std::filesystem::path& root, const std::string& relative,
                       const std::vector<std::uint8_t>& bytes);

} // namespace tidewell::testing
