// Any bytes as an Amcache hive (and, after the length in its first four
// bytes, its log), loaded as the scan loads it and read as the scan reads
// it: every entry seen is read or counted, nothing read outside the bytes.
#include <cstdlib>
#include <vector>

#include "amcache/amcache_counters.h"
#include "amcache/amcache_details.h"
#include "amcache/amcache_reader.h"
#include "fuzz/hive_input.h"
#include "hive/hive_load.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tidewell::HiveImage image;
    tidewell::HiveLoad load;
    if (!tidewell::fuzz::loadFuzzHive(data, size, image, load)) {
        return 0;
    }
    if (!tidewell::isReadable(load.status)) {
        return 0;
    }
    tidewell::RegistryKey root;
    tidewell::openHiveRoot(image, root);
    tidewell::RecordList records;
    tidewell::ScanTally tally;
    tidewell::readAmcacheEntries(root, L"Amcache.hve", records, tally);
    if (tally[tidewell::amcacheEntriesRead] != records.size() ||
        tally[tidewell::amcacheEntriesRead] > tally[tidewell::amcacheEntriesSeen]) {
        std::abort();
    }
    for (const tidewell::LaunchRecord& record : records) {
        const tidewell::AmcacheDetails* details = tidewell::amcacheDetails(record);
        if (details == nullptr || !record.runTimes.empty() ||
            (!details->sha1.empty() && details->sha1.size() != 40)) {
            std::abort();
        }
    }
    return 0;
}
