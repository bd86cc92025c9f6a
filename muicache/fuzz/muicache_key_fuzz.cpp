// Any values of a MUICache key, in the registry sources' fuzz form. Every
// value is a program's name, a name of no program, or counted as no text;
// each path gives one record.
#include <cstdlib>

#include "fuzz/key_values.h"

#include "muicache/muicache_counters.h"
#include "muicache/muicache_details.h"
#include "muicache/muicache_reader.h"
#include "muicache/muicache_source.h"
#include "ui/detail_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    const std::vector<KeyValue> values = fuzz::keyValuesOf(data, size);
    RegistryKey none;
    const UserHive hive{L"S-1-5-21-1", L"someone", &none, false, nullptr};
    RecordList records;
    ScanTally tally;
    makeMuiCacheRecords(values, MuiCacheKey::Classes, 9, hive, records, tally);
    if (records.size() != tally[muiCacheProgramsRead] ||
        records.size() > values.size() - tally[muiCacheOtherNames] - tally[muiCacheWrongShape]) {
        std::abort();
    }
    for (const LaunchRecord& record : records) {
        const MuiCacheDetails& details = *muiCacheDetails(record);
        if (record.name.empty() || (details.hasDescription == 0 && details.hasCompany == 0) ||
            buildDetailText(record, DetailContext{}).empty() ||
            muiCacheSource.mergeKey(record).empty()) {
            std::abort();
        }
    }
    return 0;
}
