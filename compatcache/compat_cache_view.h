// How a record of the application compatibility cache is shown: the entry
// says that Windows looked at the file, not that it ran, and its time is the
// file's modification time.
#pragma once

#include "core/record_view.h"

namespace tidewell {

extern const RecordView appCompatCacheRecordView;

} // namespace tidewell
