#include "machine/user_key_sources.h"
#include "platform/system_clock.h"
#include "recentapps/recentapps_counters.h"
#include "recentapps/recentapps_reader.h"
#include "recentapps/recentapps_source.h"

namespace tidewell {

void scanRecentApps(ExaminedMachine& machine, ScanResults& results) {
    const FileTime now = currentSystemFileTime();
    const UserKeysRead read = readUserKeys(
        machine, results, recentAppsSource, recentAppsUnreadable, [&](const UserHive& hive) {
            return readRecentApps(hive, now, results.records, results.tally);
        });
    if (read.holding != 0) {
        readingOf(results.origin, recentAppsSource).note =
            L"the search's recent programs " + userHivesWords(read);
    }
}

} // namespace tidewell
