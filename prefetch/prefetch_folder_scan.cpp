#include "prefetch/prefetch_folder_scan.h"

#include <unordered_map>
#include <vector>

#include "machine/examined_machine.h"
#include "machine/machine_files.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "prefetch/mam_container.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_details.h"
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

// A file's bytes and its unpacked image, held for the whole folder: each
// file is read into the same memory as the one before, which is warm and
// already the size of the largest so far, rather than into fresh pages.
struct PrefetchBuffers {
    std::vector<std::uint8_t> contents;
    std::vector<std::uint8_t> unpacked;
};

// A file's bytes to a record; every way out but a record counts exactly one
// outcome. Files above 64 MiB are refused unread: no Prefetch file comes
// near that.
bool recordFromFile(PrefetchBuffers& buffers, const std::wstring& path, LaunchRecord& record,
                    ScanTally& tally) {
    const std::vector<std::uint8_t>& contents = buffers.contents;
    if (contents.empty()) {
        ++tally[prefetchUnreadable];
        return false;
    }
    const std::vector<std::uint8_t>* image = &contents;
    if (startsWithMam(contents)) {
        if (!decompressMam(contents.data(), contents.size(), buffers.unpacked)) {
            ++tally[prefetchDecompressFailed];
            return false;
        }
        image = &buffers.unpacked;
    } else if (!carriesScca(contents)) {
        ++tally[prefetchNotPrefetch];
        return false;
    }
    return parsePrefetch(image->data(), image->size(), path, record, tally); // it counts why not
}

// The records of the current state's files, by where each was read; only
// an older state has them.
using RecordsByFile = std::unordered_map<std::wstring, const LaunchRecord*>;

RecordsByFile currentRecordsByFile(const ExaminedMachine& machine) {
    RecordsByFile byFile;
    if (machine.currentRecords == nullptr) {
        return byFile;
    }
    for (const LaunchRecord& record : *machine.currentRecords) {
        const PrefetchDetails* details = prefetchDetails(record);
        if (details != nullptr && details->deletedFile == 0) {
            byFile.emplace(record.recordFile, &record);
        }
    }
    return byFile;
}

// A file an older state holds unchanged is the current state's file: its
// record is given again rather than read, decoded and parsed a second time,
// and a file that failed was counted once, where it was read.
bool reuseUnchanged(ExaminedMachine& machine, const RecordsByFile& current,
                    const std::wstring& path, RecordList& records) {
    if (current.empty() || !unchangedSinceCurrent(machine, path)) {
        return false;
    }
    const auto found = current.find(shownPath(*machine.currentState, path));
    if (found != current.end()) {
        LaunchRecord record = *found->second;
        record.recordFile = path;
        record.copies.clear();
        record.runTimeCopies.clear();
        records.push_back(std::move(record));
    }
    return true;
}

void examineFile(ExaminedMachine& machine, const std::wstring& path, PrefetchBuffers& buffers,
                 RecordList& records, ScanTally& tally) {
    if (readMachineFile(machine, path, maxPrefetchImageSize, buffers.contents) !=
        WholeFileRead::Read) {
        ++tally[prefetchUnreadable];
        return;
    }
    LaunchRecord record;
    if (recordFromFile(buffers, path, record, tally)) {
        records.push_back(std::move(record));
    }
}

// A deleted file the file table still lists: what of it is still there may
// be overwritten, so every check of the parser applies, and it is counted on
// its own (the files as they stand count as a copy of the folder counts them).
void examineDeletedFile(ExaminedMachine& machine, const FolderEntry& entry,
                        const std::wstring& path, PrefetchBuffers& buffers, RecordList& records,
                        ScanTally& tally) {
    ScanTally own;
    LaunchRecord record;
    if (readDeletedMachineFile(machine, entry, maxPrefetchImageSize, buffers.contents) !=
            WholeFileRead::Read ||
        !recordFromFile(buffers, path, record, own)) {
        ++tally[deletedPrefetchUnreadable];
        return;
    }
    prefetchDetails(record)->deletedFile = 1;
    ++tally[deletedPrefetchRead];
    records.push_back(std::move(record));
}

bool namesPrefetchFile(const FolderEntry& entry) {
    return !entry.isDirectory && entry.name.size() >= 3 && endsWithFolded(entry.name, L".pf");
}

} // namespace

bool scanPrefetchFolder(ExaminedMachine& machine, const std::wstring& folder, RecordList& records,
                        ScanTally& tally) {
    const FolderListing listing = listMachineFolder(machine, folder, true);
    if (!listing.started) {
        return false;
    }
    const RecordsByFile current = currentRecordsByFile(machine);
    PrefetchBuffers buffers;
    for (const FolderEntry& entry : listing.entries) {
        if (entry.isDirectory || entry.deleted) {
            continue;
        }
        if (!namesPrefetchFile(entry)) {
            ++tally[prefetchNonPrefetchSkipped];
            continue;
        }
        ++tally[prefetchSeen];
        const std::wstring path = joinPath(folder, entry.name);
        if (!reuseUnchanged(machine, current, path, records)) {
            examineFile(machine, path, buffers, records, tally);
        }
    }
    if (!listing.complete) {
        ++tally[prefetchListingStopped];
    }
    for (const FolderEntry& entry : listing.entries) {
        if (entry.deleted && namesPrefetchFile(entry)) {
            examineDeletedFile(machine, entry, joinPath(folder, entry.name), buffers, records,
                               tally);
        }
    }
    return true;
}

} // namespace tidewell
