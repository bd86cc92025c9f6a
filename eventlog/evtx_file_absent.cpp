// The Windows build reads its own machine's logs through the system's
// event-log API and carries no reader of log files: a log file found among
// evidence is said to be unread, and why.
#include "eventlog/evtx_log.h"

namespace tidewell {

EvtxLog readEvtxLog(const std::vector<std::uint8_t>&, EventLogKind, bool,
                    const EvtxEventsReceiver&) {
    EvtxLog log;
    log.open = EvtxOpen::NotThisBuild;
    return log;
}

} // namespace tidewell
