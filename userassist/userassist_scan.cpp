#include "machine/examined_machine.h"
#include "machine/user_hives.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_reader.h"
#include "userassist/userassist_source.h"

namespace tidewell {

void scanUserAssist(ExaminedMachine& machine, ScanResults& results) {
    const UserHiveVisit visited = visitUserHives(machine, results, [&](const UserHive& hive) {
        // A collected hive resolves its folder ids from its own machine's
        // registry, and so counts as its own account's.
        const HiveContext context{hive.sid, hive.accountName,
                                  hive.runningAccount || hive.folders != nullptr, hive.folders};
        if (!readUserAssistKeys(*hive.root, context, results.records, results.tally) &&
            hive.runningAccount) {
            ++results.tally[userAssistUnreadable];
        }
    });
    results.tally[userAssistKeysUnreadable] +=
        visited.unopenable + (visited.listingStopped ? 1 : 0);
    if (visited.offered == 0) {
        ++results.tally[userAssistUnreadable]; // not one user's hive could be read
    }
    readingOf(results.origin, userAssistSource).presence = results.tally[userAssistUnreadable] != 0
                                                               ? SourcePresence::Unreadable
                                                               : SourcePresence::Read;
}

} // namespace tidewell
