#include "hive/hive_walk.h"

#include <unordered_set>
#include <vector>

#include "hive/hive_cells.h"

namespace tidewell {

namespace {

bool valuesReadable(const HiveImage& hive, const KeyNode& node, std::vector<std::uint8_t>& data) {
    for (std::uint32_t index = 0; index < node.valueCount; ++index) {
        KeyValue value;
        bool pastEnd = false;
        if (!valueAt(hive, node, index, value, pastEnd)) {
            return false;
        }
        data.resize(value.dataSize);
        if (!copyValueData(hive, value, data.data())) {
            return false;
        }
    }
    return true;
}

} // namespace

bool hiveWalksCleanly(const HiveImage& hive) {
    std::unordered_set<std::uint32_t> reached{hive.rootCell};
    std::vector<std::uint32_t> pending{hive.rootCell};
    std::vector<std::uint8_t> data;
    while (!pending.empty()) {
        const std::uint32_t offset = pending.back();
        pending.pop_back();
        KeyNode node;
        if (!readKeyNode(hive, offset, node) || !valuesReadable(hive, node, data)) {
            return false;
        }
        bool repeated = false;
        std::uint32_t listed = 0;
        const bool listsRead =
            visitSubkeys(hive, node, [&](std::uint32_t subkey, SubkeyHint, std::uint32_t) {
                ++listed;
                repeated = !reached.insert(subkey).second;
                pending.push_back(subkey);
                return !repeated;
            });
        if (!listsRead || repeated ||
            (node.subkeyList != 0xFFFFFFFFu && node.subkeyCount != 0 &&
             listed != node.subkeyCount)) {
            return false;
        }
    }
    return true;
}

} // namespace tidewell
