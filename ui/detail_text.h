// The detail window's text: everything known about one record, with what
// each figure does and does not prove spelled out.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "platform/timestamp_format.h"

namespace tidewell {

// What the text needs to know of the scan the record came from.
struct DetailContext {
    // The SID of the account running the program, which decides whether an
    // unresolved folder id belongs to another account.
    std::wstring runningSid;
    // The record came from collected evidence: its paths are the examined
    // machine's, its account names the names of profile folders.
    bool evidence = false;
    TimeBasis times = TimeBasis::Local;
};

// Lines end in CR LF; labels are 19 characters wide.
std::wstring buildDetailText(const LaunchRecord& record, const DetailContext& context);

} // namespace tidewell
