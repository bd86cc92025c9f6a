// No live Windows event logs here: the Linux builds read log files only.
#include "platform/event_log_api.h"

namespace tidewell {

LiveLog readLiveLog(const wchar_t*, std::span<const std::uint32_t>) {
    return LiveLog{};
}

} // namespace tidewell
