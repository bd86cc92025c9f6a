// Any bytes as a whole Prefetch file, the way the folder scan treats one:
// unpacked when it is a container, then parsed. Exactly one outcome each.
#include <cstdlib>
#include <vector>

#include "prefetch/mam_container.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr tidewell::FileTime now = 133616736000000000ULL;
    std::vector<std::uint8_t> unpacked;
    const std::uint8_t* image = data;
    std::size_t imageSize = size;
    if (size >= 4 && data[0] == 'M' && data[1] == 'A' && data[2] == 'M') {
        // Declared sizes past 1 MiB add only the allocation (see the
        // container's target) and are not tried.
        if (size >= 8 && (data[7] != 0 || data[6] > 0x10)) {
            return 0;
        }
        if (!tidewell::decompressMam(data, size, unpacked)) {
            return 0;
        }
        image = unpacked.data();
        imageSize = unpacked.size();
    }
    tidewell::LaunchRecord record;
    tidewell::ScanTally tally;
    const bool accepted = tidewell::parsePrefetchAt(image, imageSize, L"f.pf", record, tally, now);
    const std::uint32_t rejections =
        tally[tidewell::prefetchMalformed] + tally[tidewell::prefetchUnknownVersion];
    if (accepted ? (tally[tidewell::prefetchParsed] != 1 || rejections != 0)
                 : (tally[tidewell::prefetchParsed] != 0 || rejections != 1)) {
        std::abort();
    }
    return 0;
}
