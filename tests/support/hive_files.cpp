#include "support/hive_files.h"

#include "platform/error_codes.h"
#include "platform/path_join.h"
#include "support/corpus_files.h"

namespace tidewell::testing {

namespace {

constexpr std::uint32_t valueNameChars = 16384;
constexpr std::uint32_t keyNameChars = 256;
constexpr int deepestKey = 512; // as deep as Windows lets keys nest

void exportKey(const RegistryKey& key, const std::wstring& path, int depth,
               std::vector<RegFileKey>& keys, std::uint32_t& errors) {
    RegFileKey exported;
    exported.path = path;
    for (std::uint32_t index = 0;; ++index) {
        RegFileValue value;
        std::uint32_t size = 0;
        std::uint32_t status =
            regEnumValue(key, index, valueNameChars, value.name, value.type, nullptr, size);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        value.data.resize(size);
        if (status == ERROR_SUCCESS) {
            status = regEnumValue(key, index, valueNameChars, value.name, value.type,
                                  value.data.empty() ? nullptr : value.data.data(), size);
        }
        if (status != ERROR_SUCCESS) {
            ++errors;
            break;
        }
        exported.values.push_back(std::move(value));
    }
    keys.push_back(std::move(exported));
    if (depth >= deepestKey) {
        ++errors;
        return;
    }
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const std::uint32_t status = regEnumKey(key, index, keyNameChars, name);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        RegistryKey subkey;
        if (status != ERROR_SUCCESS ||
            regOpenKey(key, name, registryKeyRead, subkey) != ERROR_SUCCESS) {
            ++errors;
            break;
        }
        exportKey(subkey, joinPath(path, name), depth + 1, keys, errors);
    }
}

std::vector<std::uint8_t> readIfPresent(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) ? readWholeFile(file)
                                                         : std::vector<std::uint8_t>{};
}

} // namespace

LoadedHive loadHiveBytes(std::vector<std::uint8_t> primary, const std::vector<std::uint8_t>& log1,
                         const std::vector<std::uint8_t>& log2) {
    LoadedHive hive;
    hive.load = loadHive(std::move(primary), ByteView{log1.data(), log1.size()},
                         ByteView{log2.data(), log2.size()}, hive.image);
    return hive;
}

LoadedHive loadHiveFiles(const std::filesystem::path& primary) {
    std::filesystem::path log1 = primary;
    std::filesystem::path log2 = primary;
    log1 += ".LOG1";
    log2 += ".LOG2";
    return loadHiveBytes(readWholeFile(primary), readIfPresent(log1), readIfPresent(log2));
}

void exportSubtree(const RegistryKey& key, const std::wstring& prefix,
                   std::vector<RegFileKey>& keys, std::uint32_t& errors) {
    exportKey(key, prefix, 0, keys, errors);
}

} // namespace tidewell::testing
