#include "amcache/amcache_scan.h"

#include "amcache/amcache_reader.h"
#include "machine/hive_file.h"
#include "machine/machine_files.h"
#include "platform/files.h"

namespace tidewell {

namespace {

std::wstring windowsFolderOf(const ExaminedMachine& machine) {
    if (machine.kind != MachineKind::ThisMachine) {
        return machine.drive.found ? machine.drive.windows : std::wstring();
    }
    std::wstring windows;
    return getWindowsDirectory(windows) ? windows : std::wstring();
}

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
    SourceReading& reading =
        results.origin.sources[static_cast<std::size_t>(RecordSource::Amcache)];
    reading.presence = SourcePresence::NotPresent;
    const std::wstring windows = windowsFolderOf(machine);
    std::wstring programs;
    if (windows.empty() ||
        !findMachinePath(machine, windows, L"AppCompat\\Programs", EntryKind::Folder, programs)) {
        return;
    }
    HiveFile hive;
    loadHiveFile(machine, programs, L"Amcache.hve", hive);
    if (!hive.found) {
        return;
    }
    if (machine.kind != MachineKind::ThisMachine) {
        ExaminedHive outcome = describeHive(hive, L"Amcache.hve");
        results.origin.hives.push_back(std::move(outcome));
    }
    if (hive.fileRead == WholeFileRead::InUse) {
        reading.presence = SourcePresence::HeldOpen;
        ++results.tally.amcacheHeldOpen;
        return;
    }
    if (!hive.read) {
        reading.presence = SourcePresence::Unreadable;
        ++results.tally.amcacheUnreadable;
        return;
    }
    if (hive.load.status == HiveStatus::Stale) {
        ++results.tally.amcacheStale; // read as it stands, and said to be
    } else if (hive.load.status == HiveStatus::Recovered) {
        ++results.tally.hivesRecovered;
        results.tally.hiveLogEntriesApplied += hive.load.logEntriesApplied;
    }
    reading.presence = SourcePresence::Read;
    RegistryKey root;
    openHiveRoot(hive.image, root);
    const AmcacheLayouts layouts =
        readAmcacheEntries(root, shownPath(machine, hive.path), results.records, results.tally);
    reading.note = layoutsNote(layouts);
}

} // namespace tidewell
