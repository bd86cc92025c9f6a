// Whether a FILETIME can be a real recorded moment: not before 1990-01-01 and
// not more than one day past the clock (both bounds included). The day of
// slack allows for a machine whose clock was a little ahead of this one's.
#pragma once

#include "platform/filetime.h"

namespace tidewell {

bool isPossibleDate(FileTime value, FileTime now);

} // namespace tidewell
