#include "core/scan_tally.h"

#include <algorithm>

#include "core/record_source.h"
#include "core/scan_counters.h"

namespace tidewell {

std::uint32_t& ScanTally::operator[](const ScanCounter& counter) {
    for (Count& held : counts) {
        if (held.counter == &counter) {
            return held.count;
        }
    }
    counts.push_back({&counter, 0});
    return counts.back().count;
}

std::uint32_t ScanTally::operator[](const ScanCounter& counter) const {
    for (const Count& held : counts) {
        if (held.counter == &counter) {
            return held.count;
        }
    }
    return 0;
}

void addTally(ScanTally& into, const ScanTally& from) {
    for (const ScanTally::Count& held : from.counts) {
        into[*held.counter] += held.count;
    }
}

ScanTally freshTally(std::span<const RecordSource* const> sources) {
    std::vector<const ScanCounter*> shared(std::begin(scanOwnCounters), std::end(scanOwnCounters));
    for (const RecordSource* source : sources) {
        for (const ScanCounter* counter : source->counters) {
            if (counter->line != CounterLine::Source) {
                shared.push_back(counter);
            }
        }
    }
    std::stable_sort(shared.begin(), shared.end(), [](const ScanCounter* a, const ScanCounter* b) {
        return a->place < b->place;
    });
    ScanTally tally;
    for (const ScanCounter* counter : shared) {
        tally.counts.push_back({counter, 0});
    }
    for (const RecordSource* source : sources) {
        for (const ScanCounter* counter : source->counters) {
            if (counter->line == CounterLine::Source) {
                tally.counts.push_back({counter, 0});
            }
        }
    }
    return tally;
}

bool hasFailure(const ScanTally& tally) {
    return std::any_of(tally.counts.begin(), tally.counts.end(), [](const ScanTally::Count& held) {
        return held.counter->failure && held.count != 0;
    });
}

} // namespace tidewell
