// The Prefetch source's entry point: every file of the folder is read,
// unpacked, parsed and given its path, and ends in exactly one counted
// outcome.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"

namespace tidewell {

// Appends one record per accepted file. Afterwards prefetchSeen equals the
// sum of prefetchUnreadable, prefetchDecompressFailed, prefetchNotPrefetch,
// prefetchMalformed, prefetchUnknownVersion and prefetchParsed.
void scanPrefetchFolder(const std::wstring& folder, RecordList& records, ScanTally& tally);

} // namespace tidewell
