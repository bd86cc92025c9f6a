#include "report/completeness.h"

#include "platform/decimal_text.h"

namespace tidewell {

bool reportIsComplete(const ScanTally& tally, const ScanFacts& facts) {
    return !hasFailure(tally) && facts.profileCoverageKnown != 0 && facts.profilesNotExamined == 0;
}

std::vector<std::wstring> incompletenessReasons(const ScanTally& tally, const ScanFacts& facts) {
    std::vector<std::wstring> reasons;
    for (const ScanTally::Count& held : tally.counts) {
        if (held.counter->failure && held.count != 0) {
            reasons.push_back(std::wstring(held.counter->reportLabel) + L" " +
                              decimalText(held.count));
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
