// The Prefetch source's entry point: every file of the folder is read,
// unpacked, parsed and given its path, and ends in exactly one counted
// outcome.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "platform/file_scope.h"

namespace tidewell {

// When the records' paths are chosen: as each file is parsed, among this
// machine's mounted volumes; or later, by the caller, once every file of the
// folder has been read (collected evidence proves its system volume only
// from all its files together).
enum class PathChoice {
    AmongMountedVolumes,
    ByCaller,
};

// Appends one record per accepted file. Afterwards prefetchSeen equals the
// sum of prefetchUnreadable, prefetchDecompressFailed, prefetchNotPrefetch,
// prefetchMalformed, prefetchUnknownVersion and prefetchParsed.
void scanPrefetchFolder(const std::wstring& folder, RecordList& records, ScanTally& tally,
                        PathChoice pathChoice = PathChoice::AmongMountedVolumes);

// The same inside a scope: a file the scope refuses (a link leading out of
// it, a pipe, a device) is counted unreadable without being opened.
void scanPrefetchFolder(FileScope& scope, const std::wstring& folder, RecordList& records,
                        ScanTally& tally, PathChoice pathChoice);

} // namespace tidewell
