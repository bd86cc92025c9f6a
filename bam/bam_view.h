// How a BAM/DAM record is shown.
#pragma once

#include "core/record_view.h"

namespace tidewell {

extern const RecordView bamRecordView;

} // namespace tidewell
