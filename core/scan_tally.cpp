#include "core/scan_tally.h"

namespace tidewell {

bool hasFailure(const ScanTally& tally) {
    for (auto counter : failureCounters) {
        if (tally.*counter != 0) {
            return true;
        }
    }
    return false;
}

} // namespace tidewell
