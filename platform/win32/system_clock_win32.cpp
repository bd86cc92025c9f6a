// Clock and local time through kernel32.
#include "platform/system_clock.h"

#include "platform/win32/win32_common.h"

namespace tidewell {

FileTime currentSystemFileTime() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return win32::fromFILETIME(now);
}

bool fileTimeToLocalCalendar(FileTime utc, LocalCalendar& local) {
    const FILETIME ft = win32::toFILETIME(utc);
    SYSTEMTIME utcFields;
    if (!FileTimeToSystemTime(&ft, &utcFields)) {
        return false;
    }
    // The zone's rules for the stamp's own year, so that a January stamp read
    // in July gets January's offset, and a year whose rules changed gets its
    // own. (SystemTimeToTzSpecificLocalTimeEx would do the same, but Wine
    // does not implement it, and the program must run there too.)
    DYNAMIC_TIME_ZONE_INFORMATION zone;
    if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) {
        return false;
    }
    TIME_ZONE_INFORMATION rules;
    if (!GetTimeZoneInformationForYear(utcFields.wYear, &zone, &rules)) {
        return false;
    }
    SYSTEMTIME localFields;
    if (!SystemTimeToTzSpecificLocalTime(&rules, &utcFields, &localFields)) {
        return false;
    }
    local.year = localFields.wYear;
    local.month = localFields.wMonth;
    local.day = localFields.wDay;
    local.hour = localFields.wHour;
    local.minute = localFields.wMinute;
    local.second = localFields.wSecond;
    local.milliseconds = localFields.wMilliseconds;
    return true;
}

} // namespace tidewell
