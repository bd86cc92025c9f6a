// The Prefetch source's entry point: every file of the folder is read,
// unpacked, parsed and given its path, and ends in exactly one counted
// outcome.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"

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

} // namespace tidewell
