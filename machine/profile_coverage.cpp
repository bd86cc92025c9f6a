#include "machine/profile_coverage.h"

#include <algorithm>

#include "core/scan_counters.h"
#include "platform/text_fold.h"

namespace tidewell {

ProfileCoverage::ProfileCoverage(ProfileList listed)
    : list(std::move(listed)), examined(list.profiles.size(), false) {}

void ProfileCoverage::noteHandedOut(const std::wstring& sid) {
    ++handedOut;
    for (std::size_t i = 0; i < list.profiles.size(); ++i) {
        if (!sid.empty() && equalsFolded(list.profiles[i].sid, sid)) {
            examined[i] = true;
        }
    }
}

void ProfileCoverage::state(ScanResults& results) const {
    ScanFacts& facts = results.facts;
    facts.profileCoverageKnown = list.read ? 1 : 0;
    if (!list.read) {
        ++results.tally[profileListUnreadable];
        facts.profilesExamined = handedOut;
        facts.profilesNotExamined = 0;
        return;
    }
    facts.profilesOnMachine = static_cast<std::uint32_t>(list.profiles.size());
    facts.profilesExamined =
        static_cast<std::uint32_t>(std::count(examined.begin(), examined.end(), true));
    facts.profilesNotExamined = facts.profilesOnMachine - facts.profilesExamined;
}

} // namespace tidewell
