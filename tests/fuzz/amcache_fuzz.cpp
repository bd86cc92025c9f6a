// Any bytes as an Amcache hive (and, after the length in its first four
// bytes, its log), loaded as the scan loads it and read as the scan reads
// it: every entry seen is read or counted, nothing read outside the bytes.
#include <cstdlib>
#include <vector>

#include "amcache/amcache_reader.h"
#include "hive/hive_load.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    std::size_t primarySize = static_cast<std::size_t>(data[0]) | (std::size_t{data[1]} << 8) |
                              (std::size_t{data[2]} << 16) | (std::size_t{data[3]} << 24);
    primarySize = primarySize > size - 4 ? size - 4 : primarySize;
    std::vector<std::uint8_t> primary(data + 4, data + 4 + primarySize);
    const tidewell::ByteView log{data + 4 + primarySize, size - 4 - primarySize};
    tidewell::HiveImage image;
    const tidewell::HiveLoad load = tidewell::loadHive(std::move(primary), log, {}, image);
    if (!tidewell::isReadable(load.status)) {
        return 0;
    }
    tidewell::RegistryKey root;
    tidewell::openHiveRoot(image, root);
    tidewell::RecordList records;
    tidewell::ScanTally tally;
    tidewell::readAmcacheEntries(root, L"Amcache.hve", records, tally);
    if (tally.amcacheEntriesRead != records.size() ||
        tally.amcacheEntriesRead > tally.amcacheEntriesSeen) {
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
