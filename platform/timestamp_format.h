// FILETIME to the text every view and the report show: local time as
// "YYYY-MM-DD hh:mm:ss", milliseconds dropped without rounding.
#pragma once

#include <string>

#include "platform/filetime.h"

namespace tidewell {

// Empty text when the value cannot be converted. The value 0 is converted like
// any other; callers test for a missing time first.
std::wstring formatTimestamp(FileTime utc);

} // namespace tidewell
