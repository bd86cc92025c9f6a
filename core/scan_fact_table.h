// Every fact of the scan in one table, in the order the report states them:
// its stable name in the machine-readable outputs, its line in the report
// (where it has one of its own), and what says that it is not known or does
// not apply. The report's header and the JSON document both read this table,
// so that a fact cannot be stated by one of them and missed by the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "core/scan_facts.h"

namespace tidewell {

struct ScanFactLine {
    const char* key;            // its stable name in machine-readable output
    const wchar_t* reportLabel; // its report line ("# label,value"); null: none of its own
    std::uint8_t ScanFacts::*flag = nullptr;          // a yes/no fact ...
    std::uint32_t ScanFacts::*number = nullptr;       // ... or a number
    const wchar_t* reportSuffix = nullptr;            // after a known number in the report
    std::uint8_t ScanFacts::*notKnown = nullptr;      // when set, the fact is not known
    std::uint8_t ScanFacts::*notApplicable = nullptr; // when set, it does not apply
};

inline constexpr ScanFactLine scanFactLines[] = {
    {"elevated", L"Elevated", &ScanFacts::elevated, nullptr, nullptr, nullptr,
     &ScanFacts::elevationNotApplicable},
    {"prefetch_enabled", L"Prefetch enabled", &ScanFacts::prefetchEnabled, nullptr, nullptr,
     &ScanFacts::prefetchEnabledNotKnown},
    {"prefetch_dir_readable", L"Prefetch directory readable", &ScanFacts::prefetchDirReadable},
    {"prefetch_retention_limit", L"Prefetch retains at most", nullptr,
     &ScanFacts::prefetchRetentionLimit, L" files (older ones are evicted)",
     &ScanFacts::retentionLimitNotKnown},
    {"enable_prefetcher_present", L"EnablePrefetcher value present",
     &ScanFacts::enablePrefetcherPresent, nullptr, nullptr, &ScanFacts::prefetcherSettingNotKnown},
    {"enable_prefetcher_value", L"EnablePrefetcher raw value", nullptr,
     &ScanFacts::enablePrefetcherValue, nullptr, &ScanFacts::prefetcherSettingNotKnown,
     &ScanFacts::enablePrefetcherValueNotApplicable},
    // The coverage, which the report states in sentences of its own.
    {"profile_coverage_known", nullptr, &ScanFacts::profileCoverageKnown},
    {"profiles_on_machine", nullptr, nullptr, &ScanFacts::profilesOnMachine},
    {"profiles_examined", nullptr, nullptr, &ScanFacts::profilesExamined},
    {"profiles_not_examined", nullptr, nullptr, &ScanFacts::profilesNotExamined},
    {"span_known", nullptr, &ScanFacts::spanKnown},
};

inline constexpr std::size_t scanFactLineCount = std::size(scanFactLines);

// How a fact stands in a scan's results.
enum class FactState {
    Known,
    NotKnown,
    NotApplicable,
};

inline FactState factState(const ScanFactLine& line, const ScanFacts& facts) {
    if (line.notApplicable != nullptr && facts.*line.notApplicable != 0) {
        return FactState::NotApplicable;
    }
    if (line.notKnown != nullptr && facts.*line.notKnown != 0) {
        return FactState::NotKnown;
    }
    return FactState::Known;
}

} // namespace tidewell
