// Any values of a MUICache key: each begins with its type and the lengths
// of its name and data in bytes. Every value is a program's name, a name
// of no program, or counted as no text; each path gives one record.
#include <cstdlib>

#include "muicache/muicache_counters.h"
#include "muicache/muicache_details.h"
#include "muicache/muicache_reader.h"
#include "muicache/muicache_source.h"
#include "ui/detail_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    std::vector<KeyValue> values;
    std::size_t at = 0;
    while (at + 3 <= size) {
        KeyValue value;
        value.type = data[at] % 12;
        const std::size_t nameBytes = std::min<std::size_t>(data[at + 1], size - at - 3);
        const std::size_t dataBytes =
            std::min<std::size_t>(data[at + 2], size - at - 3 - nameBytes);
        at += 3;
        for (std::size_t byte = 0; byte + 1 < nameBytes; byte += 2) {
            value.name.push_back(static_cast<wchar_t>(data[at + byte] | data[at + byte + 1] << 8));
        }
        at += nameBytes;
        value.data.assign(data + at, data + at + dataBytes);
        at += dataBytes;
        values.push_back(std::move(value));
    }
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
