// The description of each source's records, from the table of sources.
#pragma once

#include "core/launch_record.h"
#include "core/record_view.h"

namespace tidewell {

// A value beyond the table is shown as UserAssist, as such values were shown
// before the table had more than two sources.
const RecordView& recordView(RecordSource source);

} // namespace tidewell
