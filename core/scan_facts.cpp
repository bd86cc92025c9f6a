#include "core/scan_facts.h"

#include "core/record_source.h"

namespace tidewell {

FactValue& ScanFacts::operator[](const ScanFact& fact) {
    for (Stated& held : stated) {
        if (held.fact == &fact) {
            return held.value;
        }
    }
    stated.push_back({&fact, FactValue{}});
    return stated.back().value;
}

FactValue ScanFacts::operator[](const ScanFact& fact) const {
    for (const Stated& held : stated) {
        if (held.fact == &fact) {
            return held.value;
        }
    }
    return FactValue{};
}

ScanFacts freshFacts(std::span<const RecordSource* const> sources) {
    ScanFacts facts;
    for (const RecordSource* source : sources) {
        for (const ScanFact* fact : source->facts) {
            facts.stated.push_back({fact, FactValue{}});
        }
    }
    return facts;
}

} // namespace tidewell
