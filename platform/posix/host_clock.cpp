// The clock and local time from the POSIX C library.
#include <chrono>
#include <ctime>

#include "platform/posix/posix_host.h"

namespace tidewell::posix {

FileTime hostNow() {
    const auto sinceUnixEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    const std::int64_t ticks = sinceUnixEpoch.count() / 100;
    return static_cast<FileTime>(ticks + fileTimeEpochToUnixSeconds * 10000000LL);
}

bool hostLocalCalendar(FileTime utc, LocalCalendar& local) {
    // Windows refuses FILETIME values with the top bit set; so does this.
    if (utc >= 0x8000000000000000ULL) {
        return false;
    }
    const std::int64_t seconds =
        static_cast<std::int64_t>(utc / fileTimeTicksPerSecond) - fileTimeEpochToUnixSeconds;
    const std::time_t moment = static_cast<std::time_t>(seconds);
    std::tm fields{};
    if (localtime_r(&moment, &fields) == nullptr) {
        return false;
    }
    const long year = static_cast<long>(fields.tm_year) + 1900;
    if (year < 1601 || year > 30827) { // the range a Windows SYSTEMTIME can hold
        return false;
    }
    local.year = static_cast<std::uint16_t>(year);
    local.month = static_cast<std::uint16_t>(fields.tm_mon + 1);
    local.day = static_cast<std::uint16_t>(fields.tm_mday);
    local.hour = static_cast<std::uint16_t>(fields.tm_hour);
    local.minute = static_cast<std::uint16_t>(fields.tm_min);
    local.second = static_cast<std::uint16_t>(fields.tm_sec == 60 ? 59 : fields.tm_sec);
    local.milliseconds = static_cast<std::uint16_t>((utc / 10000) % 1000);
    return true;
}

} // namespace tidewell::posix
