// The machine's clock and its local-time rules. Implemented by each platform
// backend (win32 and stand-in); callers never learn which one they run on.
#pragma once

#include <cstdint>

#include "platform/filetime.h"

namespace tidewell {

struct LocalCalendar {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// The current system time (UTC) as a FILETIME.
FileTime currentSystemFileTime();

// Breaks a UTC FILETIME into local calendar fields, using the time-zone
// offset and daylight-saving rules in force at that moment (not those in
// force now), so that a timeline keeps its hours whatever the season it is
// read in. False when the value cannot be converted.
bool fileTimeToLocalCalendar(FileTime utc, LocalCalendar& local);

} // namespace tidewell
