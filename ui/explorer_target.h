// Whether a record names a file on this machine that Explorer may be asked
// to show, and the parameter that asks it.
#pragma once

#include <optional>
#include <string>

#include "core/launch_record.h"

namespace tidewell {

// The "/select," parameter for Explorer, or nothing when the record does not
// name a local file: its path is not resolved, is empty, is a network path
// (Explorer would connect to whatever host a user-writable value names), or
// holds a double quote (it would break out of the quoted parameter).
std::optional<std::wstring> explorerSelectParameter(const LaunchRecord& record);

// The text Copy path puts on the clipboard: the path, or the name without one.
const std::wstring& copyPathText(const LaunchRecord& record);

} // namespace tidewell
