// How a UserAssist record is shown: its own cells, detail lines and JSON
// members (core/record_view.h).
#pragma once

#include "core/record_view.h"

namespace tidewell {

extern const RecordView userAssistRecordView;

} // namespace tidewell
