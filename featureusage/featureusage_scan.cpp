#include "featureusage/featureusage_counters.h"
#include "featureusage/featureusage_reader.h"
#include "featureusage/featureusage_source.h"
#include "machine/examined_machine.h"
#include "platform/decimal_text.h"

namespace tidewell {

void scanFeatureUsage(ExaminedMachine& machine, ScanResults& results) {
    std::uint32_t holding = 0;
    const std::uint64_t unreadableBefore = results.tally[featureUsageKeysUnreadable];
    const UserHiveVisit visited = visitUserHives(machine, results, [&](const UserHive& hive) {
        if (readFeatureUsage(hive, results.records, results.tally)) {
            ++holding;
        }
    });
    results.tally[featureUsageKeysUnreadable] +=
        visited.unopenable + (visited.listingStopped ? 1 : 0);
    SourceReading& reading = readingOf(results.origin, featureUsageSource);
    const bool unreadable = results.tally[featureUsageKeysUnreadable] != unreadableBefore;
    reading.presence = holding != 0 ? SourcePresence::Read
                       : unreadable ? SourcePresence::Unreadable
                                    : SourcePresence::NotPresent;
    if (holding != 0) {
        reading.note = L"AppLaunch, AppSwitched and ShowJumpView of " +
                       groupedDecimalText(holding) + L" of " + groupedDecimalText(visited.offered) +
                       L" users' hives";
    }
}

} // namespace tidewell
