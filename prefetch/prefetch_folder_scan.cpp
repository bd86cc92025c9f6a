#include "prefetch/prefetch_folder_scan.h"

#include <vector>

#include "platform/error_codes.h"
#include "platform/files.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "prefetch/mam_container.h"
#include "prefetch/prefetch_parser.h"
#include "prefetch/prefetch_path_choice.h"

namespace tidewell {

namespace {

// Reads a whole file with one read of exactly its size. Files above 64 MiB
// are refused unread: no Prefetch file comes near that.
bool readWholeFile(const std::wstring& path, std::vector<std::uint8_t>& contents) {
    ReadableFile file;
    std::uint32_t error = 0;
    if (!openFileForReading(path, file, error)) {
        return false;
    }
    std::uint64_t size = 0;
    if (!getFileSize(file, size) || size == 0 || size > maxPrefetchImageSize) {
        return false;
    }
    contents.assign(static_cast<std::size_t>(size), 0);
    std::uint32_t bytesRead = 0;
    const bool read = readFile(file, contents.data(), static_cast<std::uint32_t>(size), bytesRead);
    closeFile(file);
    return read && bytesRead == size;
}

bool startsWithMam(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 4 && bytes[0] == 'M' && bytes[1] == 'A' && bytes[2] == 'M';
}

bool carriesScca(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 8 && bytes[4] == 'S' && bytes[5] == 'C' && bytes[6] == 'C' &&
           bytes[7] == 'A';
}

// One file from reading to record; every way out counts exactly one outcome.
void examineFile(FileScope& scope, const std::wstring& path, RecordList& records, ScanTally& tally,
                 PathChoice pathChoice) {
    std::vector<std::uint8_t> contents;
    Refusal why = Refusal::None;
    if (!mayReadFile(scope, path, why) || !readWholeFile(path, contents)) {
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
    if (pathChoice == PathChoice::AmongMountedVolumes) {
        choosePrefetchPath(record, tally);
    }
    records.push_back(std::move(record));
}

} // namespace

void scanPrefetchFolder(const std::wstring& folder, RecordList& records, ScanTally& tally,
                        PathChoice pathChoice) {
    FileScope host = hostFileScope();
    scanPrefetchFolder(host, folder, records, tally, pathChoice);
}

void scanPrefetchFolder(FileScope& scope, const std::wstring& folder, RecordList& records,
                        ScanTally& tally, PathChoice pathChoice) {
    DirectoryListing listing;
    DirectoryEntry entry;
    std::uint32_t error = 0;
    if (!findFirstFile(joinPath(folder, L"*"), listing, entry, error)) {
        ++tally.prefetchDirUnreadable;
        return;
    }
    do {
        if (entry.isDirectory) {
            continue;
        }
        if (entry.name.size() < 3 || !endsWithFolded(entry.name, L".pf")) {
            ++tally.prefetchNonPrefetchSkipped;
            continue;
        }
        ++tally.prefetchSeen;
        examineFile(scope, joinPath(folder, entry.name), records, tally, pathChoice);
    } while (findNextFile(listing, entry, error));
    closeListing(listing);
    if (error != ERROR_NO_MORE_FILES) {
        ++tally.prefetchListingStopped;
    }
}

} // namespace tidewell
