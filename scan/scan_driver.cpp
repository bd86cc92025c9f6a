#include "scan/scan_driver.h"

#include <algorithm>

#include "core/scan_counters.h"
#include "machine/examined_machine.h"
#include "platform/filetime.h"
#include "programs/program_builder.h"
#include "scan/source_table.h"
#include "scan/state_merge.h"

namespace tidewell {

namespace {

// Each source is read whether or not the ones before it could be.
void readEverySource(ExaminedMachine& machine, ScanResults& results) {
    for (const SourceEntry& entry : sourceTable()) {
        entry.scan(machine, results);
    }
}

// Every older state of the machine (its shadow copies), newest first, read
// as the current one was read, its records merged into the current ones. Its
// own counts stay its own, but for its failures: the records and counts of
// the current state are those of a copy of its files.
void readOlderStates(ExaminedMachine& current, ScanResults& results) {
    markCurrentState(results.records);
    const std::size_t states = current.olderStates.size();
    if (states > shadowCopiesReadAtMost) {
        results.tally[shadowCopiesLeft] = static_cast<std::uint32_t>(
            std::min<std::size_t>(states - shadowCopiesReadAtMost, 0xFFFFFFFFu));
    }
    for (std::size_t index = 0; index < std::min(states, shadowCopiesReadAtMost); ++index) {
        ExaminedMachine older;
        ScanResults olderResults;
        if (!openOlderState(current, index, older, olderResults)) {
            ++results.tally[shadowCopiesUnreadable];
            continue;
        }
        older.currentRecords = &results.records;
        readEverySource(older, olderResults);
        closeExaminedMachine(older, olderResults);
        const auto copy = static_cast<CopyIndex>(index + 1);
        mergeOlderState(results.records, olderResults.records, copy, results.tally);
        for (const ScanTally::Count& held : olderResults.tally.counts) {
            if (held.counter->failure) {
                results.tally[shadowCopyFailures] += held.count;
            }
        }
        for (ExaminedHive& hive : olderResults.origin.hives) {
            results.origin.hives.push_back(std::move(hive));
        }
        // An older copy of a log may reach further back than the log does now.
        for (const SourceReading& olderReading : olderResults.origin.sources) {
            for (const KeptSpan& span : olderReading.spans) {
                keepSpan(readingOf(results.origin, *olderReading.source).spans, span.name,
                         span.oldest);
            }
        }
        if (copy < results.origin.copies.size()) {
            results.origin.copies[copy].read = true;
        }
        ++results.tally[shadowCopiesExamined];
    }
    orderMergedRunTimes(results.records);
}

} // namespace

EvidenceCheck openScan(const ScanTarget& target, ExaminedMachine& machine, ScanResults& results) {
    results.records.clear();
    results.tally = freshTally(tableSources());
    results.facts = freshFacts(tableSources());
    results.origin = ScanOrigin{};
    for (const RecordSource* source : tableSources()) {
        results.origin.sources.push_back({source, SourcePresence::NotLooked, {}, {}});
    }
    results.anyFailure = false;
    return openExaminedMachine(target, machine, results);
}

void readScan(ExaminedMachine& machine, ScanResults& results) {
    readEverySource(machine, results);
    if (!machine.olderStates.empty()) {
        readOlderStates(machine, results);
    }
    closeExaminedMachine(machine, results);
    computeRunTimeSpan(results.records, results.facts);
    results.programs = buildPrograms(results.records, results.origin);
    results.anyFailure = hasFailure(results.tally);
}

void runScan(const ScanTarget& target, ScanResults& results) {
    ExaminedMachine machine;
    openScan(target, machine, results);
    readScan(machine, results);
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
