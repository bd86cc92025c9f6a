// Any values of one RecentApps program key and of one of its RecentItems,
// in the registry sources' fuzz form; a value named "|" parts the
// program's values from the item's. A record or one counted reason; a time
// only where it is a possible one.
#include <cstdlib>

#include "fuzz/key_values.h"

#include "platform/possible_date.h"
#include "recentapps/recentapps_counters.h"
#include "recentapps/recentapps_details.h"
#include "recentapps/recentapps_reader.h"
#include "recentapps/recentapps_source.h"
#include "ui/detail_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    std::vector<KeyValue> appValues;
    std::vector<KeyValue> itemValues;
    bool inItem = false;
    for (KeyValue& value : fuzz::keyValuesOf(data, size)) {
        if (value.name == L"|") {
            inItem = true;
            continue;
        }
        (inItem ? itemValues : appValues).push_back(std::move(value));
    }
    constexpr FileTime now = 133996032000000000ULL;
    RegistryKey none;
    const UserHive hive{L"S-1-5-21-1", L"someone", &none, false, nullptr};
    ScanTally tally;
    const RecentItem item = recentItemOf(itemValues, now, tally);
    LaunchRecord record;
    const bool made = makeRecentAppRecord(L"{K}", appValues, {item}, hive, now, tally, record);
    if (made != (tally[recentAppsRead] == 1) || made == (tally[recentAppsWithoutId] == 1) ||
        (item.lastAccessed != 0 && !isPossibleDate(item.lastAccessed, now))) {
        std::abort();
    }
    if (made && (record.name.empty() || record.runTimes.size() > 1 ||
                 (!record.runTimes.empty() && !isPossibleDate(record.runTimes[0], now)) ||
                 buildDetailText(record, DetailContext{}).empty() ||
                 recentAppsSource.mergeKey(record).empty())) {
        std::abort();
    }
    return 0;
}
