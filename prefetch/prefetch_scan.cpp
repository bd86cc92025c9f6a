#include "prefetch/prefetch_scan.h"

#include "prefetch/prefetch_folder_scan.h"
#include "prefetch/prefetch_path_choice.h"
#include "prefetch/system_volume_proof.h"

namespace tidewell {

void scanPrefetch(ExaminedMachine& machine, ScanResults& results) {
    SourceReading& reading =
        results.origin.sources[static_cast<std::size_t>(RecordSource::Prefetch)];
    reading.presence = SourcePresence::Read; // every Windows keeps a Prefetch folder
    const std::wstring folder = prefetchFolderOf(machine);
    if (folder.empty()) {
        ++results.tally.prefetchDirUnreadable;
        reading.presence = SourcePresence::Unreadable;
        return;
    }
    const std::size_t first = results.records.size();
    const std::uint32_t unreadableBefore = results.tally.prefetchDirUnreadable;
    scanPrefetchFolder(machine, folder, results.records, results.tally);
    if (results.tally.prefetchDirUnreadable != unreadableBefore) {
        reading.presence = SourcePresence::Unreadable;
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
