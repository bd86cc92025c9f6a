// The detail window's text: everything known about one record, with what
// each figure does and does not prove spelled out.
#pragma once

#include <string>

#include "core/launch_record.h"

namespace tidewell {

// runningSid is the SID of the account running the program, which decides
// whether an unresolved folder id belongs to another account. Lines end in
// CR LF; labels are 19 characters wide.
std::wstring buildDetailText(const LaunchRecord& record, const std::wstring& runningSid);

} // namespace tidewell
