// The detail window's text: everything known about one record, with what
// each figure does and does not prove spelled out. The common fields are
// written here; the record's source adds its own parts.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/record_source.h"
#include "platform/timestamp_format.h"

namespace tidewell {

// Lines end in CR LF; labels are 19 characters wide.
std::wstring buildDetailText(const LaunchRecord& record, const DetailContext& context);

} // namespace tidewell
