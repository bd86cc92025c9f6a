// A log's events as records, one per process start, and what the source
// says of each log it read.
#pragma once

#include <set>
#include <string>
#include <utility>
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

// A log's records as they are made from its events, a few at a time:
// kept apart until the log is known to have been read whole.
struct EventRecordMaker {
    EventLogKind log = EventLogKind::Security;
    std::wstring recordFile; // the file each record names
    RecordList records;
    ScanTally tally;
    LogEventCounts counts;
    std::set<std::pair<std::uint64_t, FileTime>> listed; // the log's own records seen
};

// A maker of the records of a log of that kind, each naming recordFile.
EventRecordMaker eventRecordMaker(EventLogKind log, const std::wstring& recordFile);

// Makes a record per process start among the events; counts the starts,
// those without a program or a time (withheld), those without a command
// line, and the log's clears. A record from free space that the log still
// lists (the same record id and time, met before it) is not given twice.
// Each record's account is the event's SID, or for Sysmon its DOMAIN\name.
void addEventRecords(EventRecordMaker& maker, const std::vector<EvtxEvent>& events);

// The records the maker made, appended to records, and its counts added to
// tally; what the log's events came to.
LogEventCounts takeEventRecords(EventRecordMaker& maker, RecordList& records, ScanTally& tally);

// The same for a log's events all at once, appended to records and tally.
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
