#include "platform/timestamp_format.h"

#include "platform/system_clock.h"
#include "platform/utc_calendar.h"

namespace tidewell {

std::wstring formatTimestamp(FileTime utc, TimeBasis basis) {
    LocalCalendar local;
    const bool converted = basis == TimeBasis::Utc ? fileTimeToUtcCalendar(utc, local)
                                                   : fileTimeToLocalCalendar(utc, local);
    if (!converted) {
        return {};
    }
    std::wstring text;
    text.reserve(19);
    appendCalendarText(text, local, L' ');
    return text;
}

} // namespace tidewell
