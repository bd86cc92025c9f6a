#include "report/completeness.h"

#include "core/scan_counters.h"
#include "platform/decimal_text.h"

namespace tidewell {

bool reportIsComplete(const ScanTally& tally, const ScanFacts& facts) {
    return !hasFailure(tally) && facts.profileCoverageKnown != 0 && facts.profilesNotExamined == 0;
}

std::vector<std::wstring> incompletenessReasons(const ScanTally& tally, const ScanFacts& facts) {
    std::vector<std::wstring> reasons;
    for (const ScanCounter& counter : scanCounters) {
        const std::uint32_t value = tally.*counter.member;
        if (counter.failure && value != 0) {
            reasons.push_back(std::wstring(counter.reportLabel) + L" " + decimalText(value));
        }
    }
    if (facts.profileCoverageKnown == 0) {
        reasons.emplace_back(L"UserAssist profile coverage could not be determined");
    } else if (facts.profilesNotExamined != 0) {
        reasons.push_back(L"UserAssist examined in " + decimalText(facts.profilesExamined) +
                          L" of " + decimalText(facts.profilesOnMachine) + L" profiles");
    }
    return reasons;
}

} // namespace tidewell
