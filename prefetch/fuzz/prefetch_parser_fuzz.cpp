// Any bytes through the Prefetch parser: no read outside the image, and the
// counting rule holds for every input.
#include <cstdlib>

#include "core/record_source.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_parser.h"
#include "prefetch/prefetch_source.h"
#include "support/tally_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A fixed clock keeps every run reproducible: 2024-06-01 00:00:00 UTC.
    constexpr tidewell::FileTime now = 133616736000000000ULL;
    tidewell::LaunchRecord record;
    tidewell::ScanTally tally;
    const bool accepted = tidewell::parsePrefetchAt(data, size, L"fuzz.pf", record, tally, now);
    const std::uint64_t counted = tidewell::testing::sumOfAllCounters(tally);
    if (!accepted) {
        // A rejection counts exactly one reason and never a parse.
        if (counted != 1 || tally[tidewell::prefetchParsed] != 0) {
            std::abort();
        }
        return 0;
    }
    if (tally[tidewell::prefetchParsed] != 1 || tally[tidewell::prefetchRunCountUnverified] > 1 ||
        tally[tidewell::prefetchListOutside] > 1 ||
        tally[tidewell::prefetchRunTimesOutOfOrder] > 1 ||
        counted != 1u + tally[tidewell::prefetchRunCountUnverified] +
                       tally[tidewell::prefetchListOutside] +
                       tally[tidewell::prefetchRunTimesOutOfOrder] ||
        record.source != &tidewell::prefetchSource ||
        tally[tidewell::prefetchRunTimesOutOfOrder] !=
            tidewell::prefetchDetails(record)->runTimesOutOfOrder) {
        std::abort();
    }
    if (record.runCountKnown == 0 && record.runCount != 0) {
        std::abort();
    }
    if (record.name.size() > 30 || record.runTimes.size() > 8) {
        std::abort();
    }
    for (tidewell::FileTime run : record.runTimes) {
        if (run == 0) {
            std::abort();
        }
    }
    return 0;
}
