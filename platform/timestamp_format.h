// FILETIME to the text every view and the report show: local time (or UTC)
// as "YYYY-MM-DD hh:mm:ss", milliseconds dropped without rounding.
#pragma once

#include <string>

#include "platform/filetime.h"

namespace tidewell {

// Whether times are shown in the machine's local time (the default) or UTC.
enum class TimeBasis {
    Local,
    Utc,
};

// Empty text when the value cannot be converted. The value 0 is converted like
// any other; callers test for a missing time first.
std::wstring formatTimestamp(FileTime utc, TimeBasis basis = TimeBasis::Local);

} // namespace tidewell
