// A log's events as records, one per process start, and what the source
// says of each log it read.
#pragma once

#include <string>
#include <vector>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "eventlog/evtx_log.h"

namespace tidewell {

// What the events of one log came to beside their records.
struct LogEventCounts {
    std::uint64_t starts = 0;
    std::uint64_t clears = 0;
    FileTime newestClear = 0;
};

// Appends a record per process start among the events of a log; counts the
// starts, those without a program or a time (withheld), those without a
// command line, and the log's clears. A record from free space that the
// log still lists (the same record id and time) is not given twice. Each
// record names recordFile; its account is the event's SID, or for Sysmon
// its DOMAIN\name.
LogEventCounts makeEventLogRecords(const std::vector<EvtxEvent>& events, EventLogKind log,
                                   const std::wstring& recordFile, RecordList& records,
                                   ScanTally& tally);

// The log's name as the source speaks of it: "Security", "Sysmon".
const wchar_t* logName(EventLogKind log);

// What was read of a log, for the source's note: its records, the span of
// their times (starts before the oldest are not known), its clears and
// whether it is marked dirty or full.
std::wstring logReadNote(EventLogKind log, const EvtxLog& read, const LogEventCounts& counts);

} // namespace tidewell
