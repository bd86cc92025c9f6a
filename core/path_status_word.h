// The words the report and the detail window use for a path status.
#pragma once

#include "core/launch_record.h"

namespace tidewell {

// "resolved", "volume not identified", "folder id unresolved", "several
// possible paths", or "no path recorded" (also for any value above 4).
const wchar_t* pathStatusWord(PathStatus status);

} // namespace tidewell
