// Builds evidence roots: a folder holding a copy of a Windows system drive,
// with SOFTWARE and SYSTEM hives and users' NTUSER.DAT files made by the
// hive writer, and Prefetch files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

// REG_SZ (or REG_EXPAND_SZ) data: the text in UTF-16LE with its NUL.
std::vector<std::uint8_t> registryText(const std::wstring& text);
// REG_DWORD data.
std::vector<std::uint8_t> registryDword(std::uint32_t value);

HiveValueSpec textValue(const std::wstring& name, const std::wstring& text, std::uint32_t type = 1);

// The key at a backslash-separated path below key, made on the way.
HiveKeySpec& keyAt(HiveKeySpec& key, const std::wstring& path);

struct EvidenceProfile {
    std::wstring sid;
    std::wstring imagePath; // ProfileImagePath as the machine stores it
};

// A SOFTWARE hive that lists the profiles and records Windows at
// C:\Windows, its program folders and (with a version) Windows 10.
HiveSpec softwareHive(const std::vector<EvidenceProfile>& profiles);

// A SYSTEM hive whose current control set (the second) holds EnablePrefetcher
// and, where one is given, the computer's name.
HiveSpec systemHive(std::uint32_t enablePrefetcher, const std::wstring& computerName = {});

// Writes bytes to folder/relative (backslashes or slashes), folders made on
// the way; false when the file could not be written whole.
bool writeEvidenceFile(const std::filesystem::path& root, const std::string& relative,
                       const std::vector<std::uint8_t>& bytes);

} // namespace tidewell::sample
