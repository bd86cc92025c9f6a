#include "platform/timestamp_format.h"

#include "platform/decimal_text.h"
#include "platform/system_clock.h"

namespace tidewell {

std::wstring formatTimestamp(FileTime utc) {
    LocalCalendar local;
    if (!fileTimeToLocalCalendar(utc, local)) {
        return {};
    }
    std::wstring text;
    text.reserve(19);
    appendDecimal(text, local.year, 4);
    text.push_back(L'-');
    appendDecimal(text, local.month, 2);
    text.push_back(L'-');
    appendDecimal(text, local.day, 2);
    text.push_back(L' ');
    appendDecimal(text, local.hour, 2);
    text.push_back(L':');
    appendDecimal(text, local.minute, 2);
    text.push_back(L':');
    appendDecimal(text, local.second, 2);
    return text;
}

} // namespace tidewell
