#include "core/scan_driver.h"

#include "evidence/evidence_scan.h"
#include "platform/files.h"
#include "platform/filetime.h"
#include "registry/registry.h"
#include "platform/system_info.h"
#include "prefetch/prefetch_environment.h"
#include "prefetch/prefetch_folder_scan.h"
#include "userassist/userassist_scan.h"

namespace tidewell {

namespace {

void scanThisMachine(ScanResults& results) {
    queryComputerName(results.origin.hostName);
    results.facts = probePrefetchSetup();

    std::wstring windows;
    if (getWindowsDirectory(windows)) {
        scanPrefetchFolder(windows + L"\\Prefetch", results.records, results.tally);
    } else {
        ++results.tally.prefetchDirUnreadable;
    }

    // UserAssist is read whether or not Prefetch could be.
    RegistryKey machine;
    RegistryKey currentUser;
    RegistryKey users;
    openRegistryRoot(RegistryRoot::LocalMachine, machine);
    openRegistryRoot(RegistryRoot::CurrentUser, currentUser);
    openRegistryRoot(RegistryRoot::Users, users);
    scanUserAssist(UserAssistRegistry{machine, currentUser, users}, results.records, results.tally,
                   results.facts);
}

} // namespace

void runScan(const ScanTarget& target, ScanResults& results) {
    results.records.clear();
    results.tally = ScanTally{};
    results.facts = ScanFacts{};
    results.origin = ScanOrigin{};
    switch (target.subject) {
    case ScanSubject::ThisMachine:
        scanThisMachine(results);
        break;
    case ScanSubject::EvidenceRoot:
        scanEvidence(target.evidenceRoot, results.records, results.tally, results.facts,
                     results.origin);
        break;
    }
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
