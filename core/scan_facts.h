// Facts about the machine and about the reach of one scan, stated beside the
// records so that their completeness can be judged.
#pragma once

#include <cstdint>

namespace tidewell {

struct ScanFacts {
    std::uint8_t elevated = 0;
    std::uint8_t enablePrefetcherPresent = 0;
    std::uint32_t enablePrefetcherValue = 0;
    std::uint8_t prefetchEnabled = 0;
    std::uint8_t prefetchDirReadable = 0;
    std::uint32_t prefetchRetentionLimit = 0;
    std::uint8_t profileCoverageKnown = 0;
    std::uint32_t profilesOnMachine = 0;
    std::uint32_t profilesExamined = 0;
    std::uint32_t profilesNotExamined = 0;
    std::uint64_t spanOldest = 0; // FILETIME
    std::uint64_t spanNewest = 0; // FILETIME
    std::uint8_t spanKnown = 0;
    // What the scan could not establish. A scan of this machine establishes
    // every fact (one it cannot read takes its stated default); a scan of
    // collected evidence states only what the examined machine's own files
    // say, and never this machine's facts for the examined machine's.
    std::uint8_t elevationNotApplicable = 0;    // the examiner's process is not the machine scanned
    std::uint8_t prefetcherSettingNotKnown = 0; // its SYSTEM hive's control set could not be read
    std::uint8_t prefetchEnabledNotKnown = 0;   // no EnablePrefetcher value to say so
    std::uint8_t enablePrefetcherValueNotApplicable = 0; // known to be absent: no raw value
    std::uint8_t retentionLimitNotKnown = 0;             // its Windows version could not be read
};

} // namespace tidewell
