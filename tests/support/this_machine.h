// This machine (the test double, or Windows under Wine) opened as a scan
// opens it, for tests of one source or of its facts.
#pragma once

#include <cstdint>

#include "core/scan_counters.h"
#include "core/scan_results.h"
#include "machine/examined_machine.h"
#include "machine/profile_list.h"
#include "prefetch/prefetch_source.h"
#include "scan/scan_driver.h"
#include "userassist/userassist_source.h"

namespace tidewell::testing {

struct OpenedMachine {
    ExaminedMachine machine;
    ScanResults results;

    OpenedMachine() { openScan(ScanTarget{}, machine, results); }
};

// The facts a scan of this machine states once its Prefetch folder was read.
inline ScanFacts probeThisMachine() {
    OpenedMachine opened;
    scanPrefetch(opened.machine, opened.results);
    return opened.results.facts;
}

inline void scanLiveUserAssist(RecordList& records, ScanTally& tally, ScanFacts& facts) {
    OpenedMachine opened;
    scanUserAssist(opened.machine, opened.results);
    records = std::move(opened.results.records);
    tally = opened.results.tally;
    facts = opened.results.facts;
}

// The profiles this machine lists; profileListUnreadable counted when the
// list cannot be read in full.
inline bool countLiveProfiles(std::uint32_t& count, ScanTally& tally) {
    const OpenedMachine opened;
    const RegistryKey* software = softwareKeyOf(opened.machine);
    const ProfileList list =
        software != nullptr ? readProfileList(*software, Variables{}) : ProfileList{};
    count = static_cast<std::uint32_t>(list.profiles.size());
    if (!list.read) {
        ++tally[profileListUnreadable];
    }
    return list.read;
}

} // namespace tidewell::testing
