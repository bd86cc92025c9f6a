#include "machine/examined_machine.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_folder_scan.h"
#include "prefetch/prefetch_path_choice.h"
#include "prefetch/prefetch_setup.h"
#include "prefetch/prefetch_source.h"
#include "prefetch/system_volume_proof.h"

namespace tidewell {

void scanPrefetch(ExaminedMachine& machine, ScanResults& results) {
    SourceReading& reading = readingOf(results.origin, prefetchSource);
    reading.presence = SourcePresence::Read; // every Windows keeps a Prefetch folder
    const std::wstring folder = windowsEntryOf(machine, L"Prefetch", EntryKind::Folder);
    const std::size_t first = results.records.size();
    const bool listed =
        !folder.empty() && scanPrefetchFolder(machine, folder, results.records, results.tally);
    statePrefetchSetup(machine, listed, results.facts);
    if (!listed) {
        ++results.tally[prefetchDirUnreadable];
        reading.presence = SourcePresence::Unreadable;
        return;
    }
    const VolumeSource volumes = placeableVolumes(pathNamingOf(machine), results.records, first);
    ScanTally deleted; // a deleted file's doubts are its own, not the folder's
    for (std::size_t i = first; i < results.records.size(); ++i) {
        LaunchRecord& record = results.records[i];
        const PrefetchDetails* details = prefetchDetails(record);
        choosePrefetchPath(
            record, details != nullptr && details->deletedFile != 0 ? deleted : results.tally,
            volumes);
        record.recordFile = shownPath(machine, record.recordFile);
    }
}

} // namespace tidewell
