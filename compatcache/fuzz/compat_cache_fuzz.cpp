// Any bytes as an AppCompatCache value: a layout or none, every entry read
// within the value, each slot of the cache ending as an entry or counted.
#include <cstdlib>

#include "compatcache/compat_cache_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tidewell::CompatCacheParse parse = tidewell::parseCompatCache(data, size);
    if ((parse.layout == tidewell::CompatCacheLayout::Unknown ||
         tidewell::isEarlierLayout(parse.layout)) &&
        (!parse.entries.empty() || parse.malformedEntries != 0)) {
        std::abort(); // a layout not read gives nothing
    }
    std::uint32_t previous = 0;
    for (const tidewell::CompatCacheEntry& entry : parse.entries) {
        // Positions rise, an entry has a path, and nothing it holds can be
        // larger than the value it came from.
        if (entry.position <= previous || entry.path.empty() || entry.path.size() * 2 > size ||
            entry.data.size() > size || entry.package.size() * 2 > size) {
            std::abort();
        }
        previous = entry.position;
    }
    // Windows 8 and 10 give every slot walked a position, read or counted.
    const bool signedEntries = parse.layout != tidewell::CompatCacheLayout::Windows7 &&
                               parse.layout != tidewell::CompatCacheLayout::Windows7x86 &&
                               parse.layout != tidewell::CompatCacheLayout::Windows7x64;
    if (signedEntries && !parse.entries.empty() &&
        parse.entries.back().position > parse.entries.size() + parse.malformedEntries) {
        std::abort();
    }
    return 0;
}
