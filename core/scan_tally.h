// What a scan saw, parsed, skipped and failed to read: one count per
// counter, so that every file and value examined can be accounted for. The
// tally holds every counter of the scan with its count, in the order the
// outputs list them, so that whatever reads it needs nothing else to say
// what each count is (core/scan_counter.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/scan_counter.h"

namespace tidewell {

struct RecordSource;

struct ScanTally {
    struct Count {
        const ScanCounter* counter = nullptr;
        std::uint32_t count = 0;
        bool operator==(const Count&) const = default;
    };
    std::vector<Count> counts;
    bool operator==(const ScanTally&) const = default;

    // The counter's count; a counter not yet held is added after the rest.
    std::uint32_t& operator[](const ScanCounter& counter);
    // Zero for a counter not held.
    std::uint32_t operator[](const ScanCounter& counter) const;
};

// Every counter of a scan reading these sources, at zero: the report's
// shared lines (the scan's own counters and the sources' that stand among
// them) by their place, then each source's own lines, source by source.
ScanTally freshTally(std::span<const RecordSource* const> sources);

// Adds every count of from to into's count of the same counter.
void addTally(ScanTally& into, const ScanTally& from);

// True when any failure counter is non-zero: something could not be read or
// parsed. The other counters count what was seen, parsed or expectedly
// skipped, and gaps that are not failures (an unverified count, an
// unidentified volume).
bool hasFailure(const ScanTally& tally);

} // namespace tidewell
