// What the event log source counts: each log that could not be read, each
// one marked dirty or damaged, every record read and every one that could
// not be, the process starts read and those without a command line (the
// policy to record it was off), the clears, and the records left in the
// logs' free space, read only when asked for. Listed after the report's line
// that says whether the machine keeps such logs.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter eventLogUnreadable{
    .key = "event_logs_unreadable",
    .failure = true,
    .reportLabel = L"Event logs unreadable",
    .statusFragment = L" %lu event log(s) could not be read;",
    .statusPosition = 44,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter eventLogDirty{
    .key = "event_logs_dirty",
    .reportLabel = L"Event logs marked dirty (not closed cleanly) - read as they stand",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter eventLogRecordsRead{
    .key = "event_log_records_read",
    .reportLabel = L"Event log records read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter eventLogRecordsUnreadable{
    .key = "event_log_records_unreadable",
    .failure = true,
    .reportLabel = L"Event log records damaged or unreadable",
    .statusFragment = L" %lu event log record(s) unreadable;",
    .statusPosition = 45,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter eventLogStartsRead{
    .key = "event_log_process_starts",
    .reportLabel = L"Process starts read (Security 4688, Sysmon 1)",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter eventLogStartsMalformed{
    .key = "event_log_starts_malformed",
    .failure = true,
    .reportLabel = L"Process start events without a program or a time - withheld",
    .statusFragment = L" %lu process start event(s) malformed;",
    .statusPosition = 46,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter eventLogNoCommandLine{
    .key = "event_log_starts_without_command_line",
    .reportLabel = L"Process starts without a recorded command line (the policy to record it "
                   L"was off)",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter eventLogCleared{
    .key = "event_log_clears",
    .reportLabel = L"Security log clears recorded (event 1102) - starts before a clear are gone",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter eventLogRecoveredRead{
    .key = "event_log_records_recovered",
    .reportLabel = L"Event log records recovered from free space (--recover-deleted-events)",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter eventLogRecoverableLeft{
    .key = "event_log_records_in_free_space_not_read",
    .reportLabel = L"Event log records in free space not read (--recover-deleted-events reads "
                   L"them)",
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* eventLogCounters[] = {
    &eventLogUnreadable,        &eventLogDirty,      &eventLogRecordsRead,
    &eventLogRecordsUnreadable, &eventLogStartsRead, &eventLogStartsMalformed,
    &eventLogNoCommandLine,     &eventLogCleared,    &eventLogRecoveredRead,
    &eventLogRecoverableLeft,
};

} // namespace tidewell
