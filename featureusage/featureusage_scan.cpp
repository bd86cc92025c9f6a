#include "featureusage/featureusage_counters.h"
#include "featureusage/featureusage_reader.h"
#include "featureusage/featureusage_source.h"
#include "machine/user_key_sources.h"

namespace tidewell {

void scanFeatureUsage(ExaminedMachine& machine, ScanResults& results) {
    const UserKeysRead read =
        readUserKeys(machine, results, featureUsageSource, featureUsageKeysUnreadable,
                     [&](const UserHive& hive) {
                         return readFeatureUsage(hive, results.records, results.tally);
                     });
    if (read.holding != 0) {
        readingOf(results.origin, featureUsageSource).note =
            L"AppLaunch, AppSwitched and ShowJumpView " + userHivesWords(read);
    }
}

} // namespace tidewell
