// The scan's own facts in one table, in the order the outputs state them:
// the examiner's elevation before the facts of the sources, the coverage of
// the machine's profiles and the span of run times after them. The report's
// header and the JSON document both read this table, so that a fact cannot
// be stated by one of them and missed by the other.
#pragma once

#include <cstdint>

#include "core/scan_facts.h"

namespace tidewell {

struct ScanFactLine {
    const char* key;            // its stable name in machine-readable output
    const wchar_t* reportLabel; // its report line ("# label,value"); null: none of its own
    std::uint8_t ScanFacts::*flag = nullptr;          // a yes/no fact ...
    std::uint32_t ScanFacts::*number = nullptr;       // ... or a number
    std::uint8_t ScanFacts::*notApplicable = nullptr; // when set, it does not apply
};

inline constexpr ScanFactLine scanFactsBeforeSources[] = {
    {"elevated", L"Elevated", &ScanFacts::elevated, nullptr, &ScanFacts::elevationNotApplicable},
};

// The coverage, which the report states in sentences of its own.
inline constexpr ScanFactLine scanFactsAfterSources[] = {
    {"profile_coverage_known", nullptr, &ScanFacts::profileCoverageKnown},
    {"profiles_on_machine", nullptr, nullptr, &ScanFacts::profilesOnMachine},
    {"profiles_examined", nullptr, nullptr, &ScanFacts::profilesExamined},
    {"profiles_not_examined", nullptr, nullptr, &ScanFacts::profilesNotExamined},
    {"span_known", nullptr, &ScanFacts::spanKnown},
};

inline FactValue factValue(const ScanFactLine& line, const ScanFacts& facts) {
    if (line.notApplicable != nullptr && facts.*line.notApplicable != 0) {
        return FactValue{FactState::NotApplicable, 0};
    }
    return knownFact(line.flag != nullptr ? facts.*line.flag : facts.*line.number);
}

} // namespace tidewell
