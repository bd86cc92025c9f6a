// How many of the machine's listed profiles a visit of its users' hives
// covered: each listed profile counts once when its hive was handed out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/scan_results.h"
#include "machine/profile_list.h"

namespace tidewell {

struct ProfileCoverage {
    ProfileList list;
    std::vector<bool> examined; // one per listed profile
    std::uint32_t handedOut = 0;

    explicit ProfileCoverage(ProfileList listed);

    void noteHandedOut(const std::wstring& sid);

    // States the coverage in the facts. Only listed profiles count, so that
    // a hive read for an account outside the list (the system account, say)
    // cannot stand in for a listed profile that was never read; without a
    // readable list the total is not known, which is counted.
    void state(ScanResults& results) const;
};

} // namespace tidewell
