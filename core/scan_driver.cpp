#include "core/scan_driver.h"

#include "platform/files.h"
#include "platform/filetime.h"
#include "prefetch/prefetch_environment.h"
#include "prefetch/prefetch_folder_scan.h"
#include "userassist/profile_coverage.h"

namespace tidewell {

ScanResults& scanResults() {
    static ScanResults results;
    return results;
}

ScanHooks& scanHooks() {
    static ScanHooks hooks;
    return hooks;
}

void runScan() {
    runScanInto(scanResults(), scanHooks());
}

void runScanInto(ScanResults& results, const ScanHooks& hooks) {
    void* previousCursor = hooks.beginWait != nullptr ? hooks.beginWait() : nullptr;

    // Nothing of the previous scan survives; the records' storage is reused.
    results.records.clear();
    if (hooks.recordsEmptied != nullptr) {
        hooks.recordsEmptied();
    }
    results.tally = ScanTally{};
    results.facts = probePrefetchSetup();

    std::wstring windows;
    if (getWindowsDirectory(windows)) {
        scanPrefetchFolder(windows + L"\\Prefetch", results.records, results.tally);
    } else {
        ++results.tally.prefetchDirUnreadable;
    }
    // UserAssist is read whether or not Prefetch could be.
    scanUserAssist(results.records, results.tally, results.facts);

    computeRunTimeSpan(results.records, results.facts);
    results.anyFailure = hasFailure(results.tally);

    if (hooks.refreshBanner != nullptr) {
        hooks.refreshBanner();
    }
    if (hooks.refreshList != nullptr) {
        hooks.refreshList();
    }
    if (hooks.endWait != nullptr) {
        hooks.endWait(previousCursor);
    }
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
