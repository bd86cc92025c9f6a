#include "featureusage/sample/featureusage_keys.h"

#include "sample/evidence_tree.h"

namespace tidewell::sample {

void addFeatureUsageCounts(HiveKeySpec& root, const std::wstring& key,
                           const FeatureUsageCounts& counts) {
    HiveKeySpec& usage = keyAt(
        root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FeatureUsage\\" + key);
    for (const auto& [name, count] : counts) {
        usage.values.push_back({name, 4, registryDword(count)});
    }
}

} // namespace tidewell::sample
