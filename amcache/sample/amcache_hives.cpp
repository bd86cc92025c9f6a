#include "amcache/sample/amcache_hives.h"

#include "sample/evidence_tree.h"
#include "sample/little_endian.h"

namespace tidewell::sample {

HiveSpec amcacheHive(const std::vector<AmcacheInventorySpec>& inventory,
                     const std::vector<AmcacheFileSpec>& files, bool withInventoryKey) {
    HiveSpec spec;
    spec.root.name = L"{11517B7C-E79D-4e20-961B-75A811715ADD}";
    if (withInventoryKey) {
        keyAt(spec.root, L"Root\\InventoryApplicationFile");
    }
    for (const AmcacheInventorySpec& entry : inventory) {
        HiveKeySpec& key = keyAt(spec.root, L"Root\\InventoryApplicationFile\\" + entry.key);
        key.values.push_back(textValue(L"LowerCaseLongPath", entry.lowerCaseLongPath));
        if (!entry.name.empty()) {
            key.values.push_back(textValue(L"Name", entry.name));
        }
        key.values.push_back(textValue(L"FileId", entry.fileId));
        key.values.push_back(textValue(L"Publisher", entry.publisher));
        key.values.push_back(textValue(L"Version", entry.version));
        key.values.push_back(textValue(L"LinkDate", entry.linkDate));
        std::vector<std::uint8_t> size;
        put64(size, entry.size);
        key.values.push_back({L"Size", 11, size});
    }
    for (const AmcacheFileSpec& entry : files) {
        HiveKeySpec& key = keyAt(spec.root, L"Root\\File\\" + entry.volume + L"\\" + entry.key);
        key.values.push_back(textValue(L"15", entry.path));
        key.values.push_back(textValue(L"101", entry.sha1Value));
        std::vector<std::uint8_t> modified;
        put64(modified, entry.modified);
        key.values.push_back({L"11", 11, modified});
        std::vector<std::uint8_t> created;
        put64(created, entry.created);
        key.values.push_back({L"12", 11, created});
        key.values.push_back({L"f", 4, registryDword(entry.linkSeconds)});
        key.values.push_back({L"6", 4, registryDword(entry.size)});
    }
    return spec;
}

} // namespace tidewell::sample
