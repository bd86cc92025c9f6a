// Any value of any FeatureUsage key: the first byte picks the key and the
// registry type, the second the name's length in units; then the name and
// the data. A record or exactly one counted reason; a record's count is
// its data's, and it shows and merges.
#include <cstdlib>

#include "featureusage/featureusage_counters.h"
#include "featureusage/featureusage_details.h"
#include "featureusage/featureusage_reader.h"
#include "featureusage/featureusage_source.h"
#include "ui/detail_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    if (size < 2) {
        return 0;
    }
    const auto key = static_cast<FeatureUsageKey>(data[0] % 3);
    KeyValue value;
    value.type = (data[0] >> 2) % 12;
    std::size_t at = 2;
    for (std::size_t unit = 0; unit < data[1] && at + 1 < size; ++unit, at += 2) {
        value.name.push_back(static_cast<wchar_t>(data[at] | data[at + 1] << 8));
    }
    value.data.assign(data + at, data + size);
    FolderTable folders;
    folders.folders.push_back({L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}", L"C:\\W", false});
    RegistryKey none;
    const UserHive hive{L"S-1-5-21-1", L"someone", &none, false, &folders};
    ScanTally tally;
    LaunchRecord record;
    const bool made = makeFeatureUsageRecord(key, value, 5, hive, tally, record);
    if (made != (tally[featureUsageValuesRead] == 1) ||
        made == (tally[featureUsageWrongShape] == 1)) {
        std::abort();
    }
    if (!made) {
        return 0;
    }
    const FeatureUsageDetails& details = *featureUsageDetails(record);
    const std::uint32_t count =
        static_cast<std::uint32_t>(value.data[0] | value.data[1] << 8 | value.data[2] << 16) |
        static_cast<std::uint32_t>(value.data[3]) << 24;
    if (value.type != 4 || value.data.size() != 4 || details.count != count ||
        details.recordedName != value.name || record.name.empty() ||
        buildDetailText(record, DetailContext{}).empty() ||
        featureUsageSource.mergeKey(record).empty()) {
        std::abort();
    }
    return 0;
}
