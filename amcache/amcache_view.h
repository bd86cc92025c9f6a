// How an Amcache record is shown: Windows inventoried the file (installed,
// scanned or run) and last wrote its entry at a time; not each run.
#pragma once

#include "core/record_view.h"

namespace tidewell {

extern const RecordView amcacheRecordView;

} // namespace tidewell
