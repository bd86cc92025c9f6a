// The host's clock and time zone.
#include "platform/posix/posix_host.h"
#include "platform/system_clock.h"

namespace tidewell {

FileTime currentSystemFileTime() {
    return posix::hostNow();
}

bool fileTimeToLocalCalendar(FileTime utc, LocalCalendar& local) {
    return posix::hostLocalCalendar(utc, local);
}

} // namespace tidewell
