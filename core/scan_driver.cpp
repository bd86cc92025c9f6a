#include "core/scan_driver.h"

#include "core/source_table.h"
#include "machine/examined_machine.h"
#include "platform/filetime.h"

namespace tidewell {

void runScan(const ScanTarget& target, ScanResults& results) {
    results.records.clear();
    results.tally = ScanTally{};
    results.facts = ScanFacts{};
    results.origin = ScanOrigin{};
    ExaminedMachine machine;
    openExaminedMachine(target, machine, results);
    // Each source is read whether or not the ones before it could be.
    for (const SourceEntry& entry : sourceTable) {
        entry.scan(machine, results);
    }
    closeExaminedMachine(machine, results);
    computeRunTimeSpan(results.records, results.facts);
    results.anyFailure = hasFailure(results.tally);
}

void computeRunTimeSpan(const RecordList& records, ScanFacts& facts) {
    bool found = false;
    FileTime oldest = 0;
    FileTime newest = 0;
    for (const LaunchRecord& record : records) {
        for (FileTime run : record.runTimes) {
            if (run == 0) {
                continue;
            }
            if (!found) {
                oldest = newest = run;
                found = true;
            } else if (run < oldest) {
                oldest = run;
            } else if (run > newest) {
                newest = run;
            }
        }
    }
    facts.spanKnown = found ? 1 : 0;
    if (found) {
        facts.spanOldest = oldest;
        facts.spanNewest = newest;
    }
}

} // namespace tidewell
