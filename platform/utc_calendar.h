// FILETIME values as UTC calendar fields and ISO 8601 text, by arithmetic
// alone: no time zone, no system call, the same on every machine.
#pragma once

#include <string>
#include <string_view>

#include "platform/filetime.h"
#include "platform/system_clock.h"

namespace tidewell {

// "YYYY-MM-DD", the separator given, then "hh:mm:ss".
void appendCalendarText(std::wstring& text, const LocalCalendar& fields, wchar_t separator);

// False where Windows would refuse the value too (the top bit set).
bool fileTimeToUtcCalendar(FileTime value, LocalCalendar& fields);

// "2024-03-09T14:05:00.1234567Z" (seven fractional digits, to the FILETIME's
// 100 ns) or, with microseconds, "2024-03-09T14:05:00.123456+00:00"; empty
// text for a value that cannot be converted or falls after the year 9999.
std::wstring isoUtcText(FileTime value);
std::wstring isoUtcMicrosecondsText(FileTime value);

// The FILETIME of UTC calendar fields; false for fields no calendar has
// (a 31st of April) or a year outside 1601 to 9999.
bool utcCalendarToFileTime(const LocalCalendar& fields, FileTime& value);

// "2021-11-03T08:34:27.9783762Z" or "2022-05-12 19:48:09.548" (date, 'T'
// or a blank, time, up to nine fractional digits kept to 100 ns, an
// optional Z), taken as UTC; false for anything else or a date no calendar
// has.
bool parseUtcText(std::string_view text, FileTime& time);

// Microseconds since 1970-01-01 00:00 UTC (negative before it).
long long unixMicroseconds(FileTime value);

} // namespace tidewell
