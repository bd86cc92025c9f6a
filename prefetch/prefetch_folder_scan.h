// Every file of a Prefetch folder read, unpacked and parsed, each ending in
// exactly one counted outcome.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"

namespace tidewell {

struct ExaminedMachine;

// Appends one record per accepted file, its path not yet chosen. Afterwards
// prefetchSeen equals the sum of prefetchUnreadable, prefetchDecompressFailed,
// prefetchNotPrefetch, prefetchMalformed, prefetchUnknownVersion and
// prefetchParsed. A file the machine refuses (a link leading out of a
// collected drive, a pipe, a device) is counted unreadable unopened. False,
// with nothing counted, when the folder cannot be listed at all.
bool scanPrefetchFolder(ExaminedMachine& machine, const std::wstring& folder, RecordList& records,
                        ScanTally& tally);

} // namespace tidewell
