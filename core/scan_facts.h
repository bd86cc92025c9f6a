// Facts about the machine and about the reach of one scan, stated beside the
// records so that their completeness can be judged: the scan's own (the
// profiles it covered, the span of run times, the examiner's elevation) and
// those each source states of what it read (core/record_source.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tidewell {

struct RecordSource;

// A fact a source states: its names, and whether it is a yes/no fact or a
// number.
struct ScanFact {
    const char* key = nullptr;             // its stable name in machine-readable output
    const wchar_t* reportLabel = nullptr;  // its report line ("# label,value")
    bool flag = false;                     // yes/no; otherwise a number
    const wchar_t* reportSuffix = nullptr; // after a known number in the report
};

// How a fact stands in a scan's results. A scan of this machine establishes
// every fact (one it cannot read takes its stated default); a scan of
// collected evidence states only what the examined machine's own files say.
enum class FactState : std::uint8_t {
    Known,
    NotKnown,
    NotApplicable,
};

struct FactValue {
    FactState state = FactState::NotKnown;
    std::uint32_t value = 0;
};

inline FactValue knownFact(std::uint32_t value) {
    return FactValue{FactState::Known, value};
}

struct ScanFacts {
    std::uint8_t elevated = 0;
    std::uint8_t profileCoverageKnown = 0;
    std::uint32_t profilesOnMachine = 0;
    std::uint32_t profilesExamined = 0;
    std::uint32_t profilesNotExamined = 0;
    std::uint64_t spanOldest = 0; // FILETIME
    std::uint64_t spanNewest = 0; // FILETIME
    std::uint8_t spanKnown = 0;
    // The examiner's process is not the machine scanned.
    std::uint8_t elevationNotApplicable = 0;

    // Every fact the sources state, in the order of the table of sources.
    struct Stated {
        const ScanFact* fact = nullptr;
        FactValue value;
    };
    std::vector<Stated> stated;

    // The fact's value; a fact not yet held is added after the rest.
    FactValue& operator[](const ScanFact& fact);
    // Not known for a fact not held.
    FactValue operator[](const ScanFact& fact) const;
};

// Every fact the sources state, each not known until a source states it.
ScanFacts freshFacts(std::span<const RecordSource* const> sources);

} // namespace tidewell
