#include "scan/state_merge.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_map>
#include <utility>

#include "core/record_source.h"
#include "core/scan_counters.h"

namespace tidewell {

namespace {

void addCopy(LaunchRecord& record, CopyIndex copy) {
    if (std::find(record.copies.begin(), record.copies.end(), copy) == record.copies.end()) {
        record.copies.push_back(copy);
    }
}

} // namespace

void markCurrentState(RecordList& records) {
    for (LaunchRecord& record : records) {
        record.copies.assign(1, 0);
        record.runTimeCopies.assign(record.runTimes.size(), 0);
    }
}

void mergeOlderState(RecordList& records, RecordList& older, CopyIndex copy, ScanTally& tally) {
    std::unordered_map<std::wstring, std::size_t> known;
    for (std::size_t index = 0; index < records.size(); ++index) {
        known.emplace(records[index].source->mergeKey(records[index]), index);
    }
    for (LaunchRecord& record : older) {
        const std::wstring key = record.source->mergeKey(record);
        const auto found = known.find(key);
        if (found == known.end()) {
            ++tally[shadowCopyOnlyRecords];
            record.copies.assign(1, copy);
            record.runTimeCopies.assign(record.runTimes.size(), copy);
            known.emplace(key, records.size());
            records.push_back(std::move(record));
            continue;
        }
        LaunchRecord& target = records[found->second];
        addCopy(target, copy);
        for (std::uint64_t run : record.runTimes) {
            if (std::find(target.runTimes.begin(), target.runTimes.end(), run) ==
                target.runTimes.end()) {
                target.runTimes.push_back(run);
                target.runTimeCopies.push_back(copy);
                ++tally[shadowCopyRunTimesAdded];
            }
        }
    }
}

void orderMergedRunTimes(RecordList& records) {
    for (LaunchRecord& record : records) {
        if (record.copies.size() < 2 || record.runTimeCopies.size() != record.runTimes.size()) {
            continue;
        }
        std::vector<std::size_t> order(record.runTimes.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return record.runTimes[a] > record.runTimes[b];
        });
        std::vector<std::uint64_t> times;
        std::vector<CopyIndex> copies;
        for (std::size_t index : order) {
            times.push_back(record.runTimes[index]);
            copies.push_back(record.runTimeCopies[index]);
        }
        record.runTimes = std::move(times);
        record.runTimeCopies = std::move(copies);
        std::sort(record.copies.begin(), record.copies.end());
    }
}

} // namespace tidewell
