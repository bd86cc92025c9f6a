// Any bytes as a hive file and its log, through loading, recovery and a walk
// of every key and value: one outcome, nothing read outside the bytes, no
// loop that does not end.
#include <cstdlib>
#include <vector>

#include "hive/hive_load.h"
#include "hive_input.h"
#include "platform/error_codes.h"
#include "registry/registry.h"

namespace {

constexpr int deepestKey = 16;
constexpr int mostItems = 256; // ample to reach every kind of cell, and quick

void walk(const tidewell::RegistryKey& key, int depth, int& items) {
    for (std::uint32_t index = 0; items < mostItems; ++index, ++items) {
        std::wstring name;
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        if (tidewell::regEnumValue(key, index, 16384, name, type, nullptr, size) != ERROR_SUCCESS) {
            break;
        }
        std::vector<std::uint8_t> data(size);
        std::uint32_t got = size;
        if (tidewell::regEnumValue(key, index, 16384, name, type,
                                   data.empty() ? nullptr : data.data(), got) == ERROR_SUCCESS &&
            got != size) {
            std::abort(); // the size asked for and the size read must agree
        }
    }
    for (std::uint32_t index = 0; depth < deepestKey && items < mostItems; ++index, ++items) {
        std::wstring name;
        if (tidewell::regEnumKey(key, index, 256, name) != ERROR_SUCCESS) {
            break;
        }
        tidewell::RegistryKey subkey;
        if (tidewell::regOpenKey(key, name, tidewell::registryKeyRead, subkey) == ERROR_SUCCESS) {
            walk(subkey, depth + 1, items);
        }
    }
}

} // namespace

// The input is read as hive_input.h says.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tidewell::HiveImage image;
    tidewell::HiveLoad load;
    if (!tidewell::fuzz::loadFuzzHive(data, size, image, load)) {
        return 0;
    }
    if (!tidewell::isReadable(load.status)) {
        if (!image.bytes.empty()) {
            std::abort(); // a refused hive leaves nothing to read
        }
        return 0;
    }
    tidewell::RegistryKey root;
    tidewell::openHiveRoot(image, root);
    int items = 0;
    walk(root, 0, items);
    return 0;
}
