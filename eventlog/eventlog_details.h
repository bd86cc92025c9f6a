// What only an event log record holds, beside a record's common fields:
// the process start as its event recorded it, and where it was read.
#pragma once

#include "core/launch_record.h"
#include "eventlog/process_start.h"

namespace tidewell {

struct EventLogDetails {
    ProcessStart start;
    bool recovered = false; // read from the log's free space
    std::wstring sha1;      // Sysmon's SHA1= hash of the file, in capitals; empty: none
};

inline const EventLogDetails* eventLogDetails(const LaunchRecord& record) {
    return detailsAs<EventLogDetails>(record);
}
inline EventLogDetails* eventLogDetails(LaunchRecord& record) {
    return detailsAs<EventLogDetails>(record);
}

} // namespace tidewell
