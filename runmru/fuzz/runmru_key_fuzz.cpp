// Any values of a RunMRU key, in the registry sources' fuzz form. Every
// value but MRUList is one record or one counted reason; records come
// newest first, and at most the newest is dated.
#include <cstdlib>

#include "fuzz/key_values.h"

#include "platform/text_fold.h"
#include "runmru/runmru_counters.h"
#include "runmru/runmru_details.h"
#include "runmru/runmru_reader.h"
#include "runmru/runmru_source.h"
#include "ui/detail_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    const std::vector<KeyValue> values = fuzz::keyValuesOf(data, size);
    RegistryKey none;
    const UserHive hive{L"S-1-5-21-1", L"someone", &none, false, nullptr};
    RecordList records;
    ScanTally tally;
    makeRunMruRecords(values, 7, hive, records, tally);
    std::size_t others = 0;
    for (const KeyValue& value : values) {
        others += equalsFolded(value.name, L"MRUList") ? 0 : 1;
    }
    const std::size_t lists = values.size() - others;
    const std::uint64_t outcomes = tally[runMruCommandsRead] + tally[runMruWrongShape];
    if (records.size() != tally[runMruCommandsRead] || outcomes < others ||
        outcomes > others + lists) {
        std::abort();
    }
    std::uint32_t previous = 0;
    bool unplacedSeen = false;
    for (const LaunchRecord& record : records) {
        const std::uint32_t position = runMruDetails(record)->position;
        if ((position != 0 && (unplacedSeen || position < previous)) || record.name.empty() ||
            (!record.runTimes.empty() && position != 1) ||
            buildDetailText(record, DetailContext{}).empty()) {
            std::abort();
        }
        unplacedSeen = unplacedSeen || position == 0;
        previous = position;
    }
    return 0;
}
