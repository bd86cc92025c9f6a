#include "amcache/amcache_counters.h"
#include "amcache/amcache_reader.h"
#include "amcache/amcache_source.h"
#include "core/scan_counters.h"
#include "machine/examined_machine.h"
#include "machine/hive_file.h"

namespace tidewell {

namespace {

std::wstring layoutsNote(const AmcacheLayouts& layouts) {
    if (layouts.inventory && layouts.file) {
        return L"both layouts: Root\\InventoryApplicationFile and Root\\File";
    }
    if (layouts.inventory) {
        return L"Root\\InventoryApplicationFile";
    }
    return layouts.file ? L"Root\\File" : L"neither Root\\InventoryApplicationFile nor Root\\File";
}

} // namespace

void scanAmcache(ExaminedMachine& machine, ScanResults& results) {
    SourceReading& reading = readingOf(results.origin, amcacheSource);
    reading.presence = SourcePresence::NotPresent;
    const std::wstring programs =
        windowsEntryOf(machine, L"AppCompat\\Programs", EntryKind::Folder);
    if (programs.empty()) {
        return;
    }
    HiveFile hive;
    loadHiveFile(machine, programs, L"Amcache.hve", hive);
    if (!hive.found) {
        return;
    }
    // Collected evidence lists every hive file it looked at; this machine's
    // hives are the ones its Windows has loaded, which it lists nowhere.
    if (results.origin.evidence) {
        results.origin.hives.push_back(describeHive(hive, L"Amcache.hve"));
    }
    if (hive.fileRead == WholeFileRead::InUse) {
        reading.presence = SourcePresence::HeldOpen;
        ++results.tally[amcacheHeldOpen];
        return;
    }
    if (!hive.read) {
        reading.presence = SourcePresence::Unreadable;
        ++results.tally[amcacheUnreadable];
        return;
    }
    if (hive.load.status == HiveStatus::Stale) {
        ++results.tally[amcacheStale]; // read as it stands, and said to be
    } else if (hive.load.status == HiveStatus::Recovered) {
        ++results.tally[hivesRecovered];
        results.tally[hiveLogEntriesApplied] += hive.load.logEntriesApplied;
    }
    reading.presence = SourcePresence::Read;
    RegistryKey root;
    openHiveRoot(hive.image, root);
    const AmcacheLayouts layouts =
        readAmcacheEntries(root, shownPath(machine, hive.path), results.records, results.tally);
    reading.note = layoutsNote(layouts);
}

} // namespace tidewell
