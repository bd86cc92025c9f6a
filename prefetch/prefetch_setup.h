// What the Prefetch source states of the machine beside its records: its
// Prefetch set-up (the prefetcher setting, whether the folder can be listed,
// how many files its Windows keeps). This machine's facts follow Windows'
// defaults where one cannot be read (setting absent and so prefetching
// assumed on, a limit of 128); a copy's are only what its own files say, the
// rest not known.
#pragma once

#include "core/scan_facts.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

inline constexpr ScanFact prefetchEnabled{"prefetch_enabled", L"Prefetch enabled", true};
inline constexpr ScanFact prefetchDirReadable{"prefetch_dir_readable",
                                              L"Prefetch directory readable", true};
inline constexpr ScanFact prefetchRetentionLimit{"prefetch_retention_limit",
                                                 L"Prefetch retains at most", false,
                                                 L" files (older ones are evicted)"};
inline constexpr ScanFact enablePrefetcherPresent{"enable_prefetcher_present",
                                                  L"EnablePrefetcher value present", true};
inline constexpr ScanFact enablePrefetcherValue{"enable_prefetcher_value",
                                                L"EnablePrefetcher raw value", false};

inline constexpr const ScanFact* prefetchFacts[] = {
    &prefetchEnabled,         &prefetchDirReadable,   &prefetchRetentionLimit,
    &enablePrefetcherPresent, &enablePrefetcherValue,
};

// States the set-up in the facts; folderListable says whether the Prefetch
// folder could be listed.
void statePrefetchSetup(const ExaminedMachine& machine, bool folderListable, ScanFacts& facts);

} // namespace tidewell
