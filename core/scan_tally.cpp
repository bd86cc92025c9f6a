#include "core/scan_tally.h"

#include "core/scan_counters.h"

namespace tidewell {

bool hasFailure(const ScanTally& tally) {
    for (const ScanCounter& counter : scanCounters) {
        if (counter.failure && tally.*counter.member != 0) {
            return true;
        }
    }
    return false;
}

} // namespace tidewell
