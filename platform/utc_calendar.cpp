#include "platform/utc_calendar.h"

#include "platform/decimal_text.h"

namespace tidewell {

namespace {

constexpr FileTime ticksPerMicrosecond = 10;
constexpr std::int64_t secondsPerDay = 86400;

// The proleptic Gregorian date of a count of days since 1970-01-01 (the
// civil-from-days method: eras of 400 years, 146,097 days each).
void dateOfDay(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    days += 719468; // from 0000-03-01
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153; // March is 0
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

// Days since 1970-01-01 of a proleptic Gregorian date (days-from-civil).
std::int64_t dayOfDate(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

bool isLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::wstring isoText(FileTime value, bool microseconds) {
    LocalCalendar fields;
    // ISO 8601 has four digits for the year without an agreement between
    // the parties; past 9999 no reader would take the text.
    if (!fileTimeToUtcCalendar(value, fields) || fields.year > 9999) {
        return {};
    }
    std::wstring text;
    appendCalendarText(text, fields, L'T');
    text.push_back(L'.');
    const FileTime fraction = value % fileTimeTicksPerSecond;
    if (microseconds) {
        appendDecimal(text, fraction / ticksPerMicrosecond, 6);
        text += L"+00:00";
    } else {
        appendDecimal(text, fraction, 7);
        text.push_back(L'Z');
    }
    return text;
}

} // namespace

void appendCalendarText(std::wstring& text, const LocalCalendar& fields, wchar_t separator) {
    appendDecimal(text, fields.year, 4);
    text.push_back(L'-');
    appendDecimal(text, fields.month, 2);
    text.push_back(L'-');
    appendDecimal(text, fields.day, 2);
    text.push_back(separator);
    appendDecimal(text, fields.hour, 2);
    text.push_back(L':');
    appendDecimal(text, fields.minute, 2);
    text.push_back(L':');
    appendDecimal(text, fields.second, 2);
}

bool fileTimeToUtcCalendar(FileTime value, LocalCalendar& fields) {
    // Below the top bit every value is a date from 1601 to 30828, as for
    // FileTimeToSystemTime.
    if (value >= 0x8000000000000000ULL) {
        return false;
    }
    const std::int64_t seconds =
        static_cast<std::int64_t>(value / fileTimeTicksPerSecond) - fileTimeEpochToUnixSeconds;
    const std::int64_t days =
        (seconds >= 0 ? seconds : seconds - secondsPerDay + 1) / secondsPerDay;
    const std::int64_t secondOfDay = seconds - days * secondsPerDay;
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    dateOfDay(days, year, month, day);
    fields.year = static_cast<std::uint16_t>(year);
    fields.month = static_cast<std::uint16_t>(month);
    fields.day = static_cast<std::uint16_t>(day);
    fields.hour = static_cast<std::uint16_t>(secondOfDay / 3600);
    fields.minute = static_cast<std::uint16_t>(secondOfDay / 60 % 60);
    fields.second = static_cast<std::uint16_t>(secondOfDay % 60);
    fields.milliseconds = static_cast<std::uint16_t>(value / 10000 % 1000);
    return true;
}

std::wstring isoUtcText(FileTime value) {
    return isoText(value, false);
}

std::wstring isoUtcMicrosecondsText(FileTime value) {
    return isoText(value, true);
}

long long unixMicroseconds(FileTime value) {
    const auto ticks = static_cast<long long>(value / ticksPerMicrosecond);
    return ticks - fileTimeEpochToUnixSeconds * 1000000LL;
}

bool utcCalendarToFileTime(const LocalCalendar& fields, FileTime& value) {
    constexpr unsigned monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (fields.year < 1601 || fields.year > 9999 || fields.month < 1 || fields.month > 12 ||
        fields.day < 1 || fields.hour > 23 || fields.minute > 59 || fields.second > 59 ||
        fields.milliseconds > 999) {
        return false;
    }
    const unsigned lastDay =
        monthDays[fields.month - 1] + (fields.month == 2 && isLeapYear(fields.year) ? 1 : 0);
    if (fields.day > lastDay) {
        return false;
    }
    // 1601-01-01, the FILETIME epoch, is day -134774 of the 1970 count.
    const std::int64_t days = dayOfDate(fields.year, fields.month, fields.day) + 134774;
    const std::int64_t seconds =
        days * secondsPerDay + fields.hour * 3600 + fields.minute * 60 + fields.second;
    value = static_cast<FileTime>(seconds) * fileTimeTicksPerSecond +
            static_cast<FileTime>(fields.milliseconds) * 10000;
    return true;
}

bool parseUtcText(std::string_view text, FileTime& time) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    if (text.ends_with('Z')) {
        text.remove_suffix(1);
    }
    // YYYY-MM-DD?hh:mm:ss, then a fraction.
    if (text.size() < 19 || text[4] != '-' || text[7] != '-' ||
        (text[10] != 'T' && text[10] != ' ') || text[13] != ':' || text[16] != ':') {
        return false;
    }
    const auto field = [&](std::size_t from, std::size_t count, std::uint16_t& value) {
        unsigned number = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') {
                return false;
            }
            number = number * 10 + static_cast<unsigned>(text[i] - '0');
        }
        value = static_cast<std::uint16_t>(number);
        return true;
    };
    LocalCalendar fields;
    if (!field(0, 4, fields.year) || !field(5, 2, fields.month) || !field(8, 2, fields.day) ||
        !field(11, 2, fields.hour) || !field(14, 2, fields.minute) ||
        !field(17, 2, fields.second) || fields.hour > 23 || fields.minute > 59 ||
        fields.second > 59) {
        return false;
    }
    FileTime ticks = 0;
    std::string_view fraction = text.substr(19);
    if (!fraction.empty()) {
        if (fraction.front() != '.' || fraction.size() < 2 || fraction.size() > 10) {
            return false;
        }
        fraction.remove_prefix(1);
        FileTime scale = 1000000; // the first digit's worth in 100 ns
        for (char c : fraction) {
            if (c < '0' || c > '9') {
                return false;
            }
            ticks += static_cast<FileTime>(c - '0') * scale; // digits past 100 ns add 0
            scale /= 10;
        }
    }
    FileTime whole = 0;
    if (!utcCalendarToFileTime(fields, whole)) {
        return false;
    }
    time = whole + ticks;
    return true;
}

} // namespace tidewell
