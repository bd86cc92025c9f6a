#include "prefetch/prefetch_folder_scan.h"

#include <vector>

#include "machine/machine_files.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "prefetch/mam_container.h"
#include "prefetch/prefetch_parser.h"

namespace tidewell {

namespace {

bool startsWithMam(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 4 && bytes[0] == 'M' && bytes[1] == 'A' && bytes[2] == 'M';
}

bool carriesScca(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 8 && bytes[4] == 'S' && bytes[5] == 'C' && bytes[6] == 'C' &&
           bytes[7] == 'A';
}

// One file from reading to record; every way out counts exactly one outcome.
// Files above 64 MiB are refused unread: no Prefetch file comes near that.
void examineFile(ExaminedMachine& machine, const std::wstring& path, RecordList& records,
                 ScanTally& tally) {
    std::vector<std::uint8_t> contents;
    if (readMachineFile(machine, path, maxPrefetchImageSize, contents) != WholeFileRead::Read ||
        contents.empty()) {
        ++tally.prefetchUnreadable;
        return;
    }
    std::vector<std::uint8_t> unpacked;
    const std::vector<std::uint8_t>* image = &contents;
    if (startsWithMam(contents)) {
        if (!decompressMam(contents.data(), contents.size(), unpacked)) {
            ++tally.prefetchDecompressFailed;
            return;
        }
        contents.clear();
        contents.shrink_to_fit(); // keep at most one of the two buffers large
        image = &unpacked;
    } else if (!carriesScca(contents)) {
        ++tally.prefetchNotPrefetch;
        return;
    }
    LaunchRecord record;
    if (!parsePrefetch(image->data(), image->size(), path, record, tally)) {
        return; // the parser counted why
    }
    records.push_back(std::move(record));
}

} // namespace

void scanPrefetchFolder(ExaminedMachine& machine, const std::wstring& folder, RecordList& records,
                        ScanTally& tally) {
    const FolderListing listing = listMachineFolder(machine, folder);
    if (!listing.started) {
        ++tally.prefetchDirUnreadable;
        return;
    }
    for (const DirectoryEntry& entry : listing.entries) {
        if (entry.isDirectory) {
            continue;
        }
        if (entry.name.size() < 3 || !endsWithFolded(entry.name, L".pf")) {
            ++tally.prefetchNonPrefetchSkipped;
            continue;
        }
        ++tally.prefetchSeen;
        examineFile(machine, joinPath(folder, entry.name), records, tally);
    }
    if (!listing.complete) {
        ++tally.prefetchListingStopped;
    }
}

} // namespace tidewell
