#include <array>

#include "core/scan_counters.h"
#include "eventlog/eventlog_counters.h"
#include "eventlog/eventlog_records.h"
#include "eventlog/eventlog_source.h"
#include "eventlog/evtx_log.h"
#include "machine/examined_machine.h"
#include "machine/machine_files.h"
#include "machine/user_hives.h"
#include "machine/volume_devices.h"
#include "platform/decimal_text.h"
#include "platform/event_log_api.h"

namespace tidewell {

namespace {

struct LogPlace {
    EventLogKind kind;
    const wchar_t* file;    // in Windows\System32\winevt\Logs
    const wchar_t* channel; // the event-log API's name of it
};

constexpr LogPlace logPlaces[] = {
    {EventLogKind::Security, L"Security.evtx", L"Security"},
    {EventLogKind::Sysmon, L"Microsoft-Windows-Sysmon%4Operational.evtx",
     L"Microsoft-Windows-Sysmon/Operational"},
};

// A log is at most a few gigabytes (its size is set by policy); one past
// this is refused unread rather than held in memory whole.
constexpr std::uint64_t logFileLimit = 4ULL << 30;

// What the scan says of each log, gathered into the source's note.
struct LogOutcomes {
    std::wstring note;
    bool anyRead = false;
    bool anyPresent = false;
    std::vector<KeptSpan> spans;

    void add(std::wstring text) { note += (note.empty() ? L"" : L"; ") + text; }
};

void unreadable(LogOutcomes& outcomes, ScanTally& tally, EventLogKind kind,
                const std::wstring& why) {
    outcomes.anyPresent = true;
    outcomes.add(std::wstring(logName(kind)) + L": could not be read (" + why + L")");
    ++tally[eventLogUnreadable];
}

void readLogFile(ExaminedMachine& machine, const std::wstring& folder, const LogPlace& place,
                 LogOutcomes& outcomes, RecordList& records, ScanTally& tally) {
    std::wstring path;
    if (folder.empty() || !findMachineEntry(machine, folder, place.file, EntryKind::File, path)) {
        outcomes.add(std::wstring(logName(place.kind)) + L": not present");
        return;
    }
    if (reuseUnchangedRecords(machine, path, eventLogSource, records)) {
        outcomes.anyPresent = outcomes.anyRead = true;
        outcomes.add(std::wstring(logName(place.kind)) + L": unchanged since the newer state");
        return;
    }
    std::vector<std::uint8_t> bytes;
    switch (readMachineFile(machine, path, logFileLimit, bytes)) {
    case WholeFileRead::Read:
        break;
    case WholeFileRead::Missing:
        outcomes.add(std::wstring(logName(place.kind)) + L": not present");
        return;
    case WholeFileRead::TooLarge:
        unreadable(outcomes, tally, place.kind,
                   L"larger than " + groupedDecimalText(logFileLimit) + L" bytes");
        return;
    case WholeFileRead::InUse:
    case WholeFileRead::Refused:
    case WholeFileRead::Unreadable:
        unreadable(outcomes, tally, place.kind, L"the file could not be read");
        return;
    }
    // Its starts are made records here while the reading process renders
    // the rest.
    EventRecordMaker maker = eventRecordMaker(place.kind, shownPath(machine, path));
    const EvtxLog log =
        readEvtxLog(bytes, place.kind, machine.recoverDeletedEvents,
                    [&maker](std::vector<EvtxEvent>& events) { addEventRecords(maker, events); });
    if (log.open == EvtxOpen::NotThisBuild) {
        unreadable(outcomes, tally, place.kind,
                   L"this build reads no event log files; the Linux build reads them");
        return;
    }
    if (log.open != EvtxOpen::Opened) {
        unreadable(outcomes, tally, place.kind, L"refused: " + log.why);
        return;
    }
    outcomes.anyPresent = outcomes.anyRead = true;
    tally[eventLogRecordsRead] += log.records - log.recordsUnreadable + log.recoveredRead;
    tally[eventLogRecordsUnreadable] += log.recordsUnreadable;
    if (log.dirty) {
        ++tally[eventLogDirty];
    }
    if (machine.recoverDeletedEvents) {
        tally[eventLogRecoveredRead] += log.recoveredRead;
        tally[eventLogRecordsUnreadable] += log.recoveredUnreadable;
    } else {
        tally[eventLogRecoverableLeft] += log.recoverable;
    }
    outcomes.add(logReadNote(place.kind, log, takeEventRecords(maker, records, tally)));
    keepSpan(outcomes.spans, std::wstring(logName(place.kind)) + L" log", log.oldest);
}

// This machine's own logs, which its event-log service holds open: read
// through the system's API.
void readThisMachinesLog(const LogPlace& place, LogOutcomes& outcomes, RecordList& records,
                         ScanTally& tally) {
    const std::array<std::uint32_t, 2> securityIds = {securityProcessCreated, securityLogCleared};
    const std::array<std::uint32_t, 1> sysmonIds = {sysmonProcessCreate};
    const LiveLog live =
        readLiveLog(place.channel, place.kind == EventLogKind::Security
                                       ? std::span<const std::uint32_t>(securityIds)
                                       : std::span<const std::uint32_t>(sysmonIds));
    switch (live.outcome) {
    case LiveLogOutcome::Read:
        break;
    case LiveLogOutcome::NotPresent:
    case LiveLogOutcome::NotThisBuild:
        outcomes.add(std::wstring(logName(place.kind)) + L": not present" +
                     (live.why.empty() ? L"" : L" (" + live.why + L")"));
        return;
    case LiveLogOutcome::Denied:
        unreadable(outcomes, tally, place.kind, L"access denied; an administrator may read it");
        return;
    case LiveLogOutcome::Failed:
        unreadable(outcomes, tally, place.kind, live.why);
        return;
    }
    outcomes.anyPresent = outcomes.anyRead = true;
    EvtxLog log;
    log.open = EvtxOpen::Opened;
    log.records = live.records;
    log.oldest = live.oldest;
    log.newest = live.newest;
    log.full = live.full;
    log.events.reserve(live.events.size());
    for (const std::string& xml : live.events) {
        EvtxEvent event;
        event.xml = xml;
        log.events.push_back(std::move(event));
    }
    // Counted as a copy of the log would be: every record it holds, less
    // those the API could not render.
    tally[eventLogRecordsRead] +=
        live.records > live.unrendered ? live.records - live.unrendered : 0;
    tally[eventLogRecordsUnreadable] += live.unrendered;
    const LogEventCounts counts =
        makeEventLogRecords(log.events, place.kind, place.channel, records, tally);
    outcomes.add(logReadNote(place.kind, log, counts));
    keepSpan(outcomes.spans, std::wstring(logName(place.kind)) + L" log", log.oldest);
}

} // namespace

void scanEventLogs(ExaminedMachine& machine, ScanResults& results) {
    SourceReading& reading = readingOf(results.origin, eventLogSource);
    LogOutcomes outcomes;
    RecordList records;
    const bool live = !results.origin.evidence;
    const std::wstring folder =
        live ? std::wstring{}
             : windowsEntryOf(machine, L"System32\\winevt\\Logs", EntryKind::Folder);
    for (const LogPlace& place : logPlaces) {
        if (live) {
            readThisMachinesLog(place, outcomes, records, results.tally);
        } else {
            readLogFile(machine, folder, place, outcomes, records, results.tally);
        }
    }
    reading.presence = outcomes.anyRead      ? SourcePresence::Read
                       : outcomes.anyPresent ? SourcePresence::Unreadable
                                             : SourcePresence::NotPresent;
    // A machine that keeps neither log is said to keep none, as any source
    // it lacks; where one was there, each log's outcome is said.
    reading.note = outcomes.anyPresent ? outcomes.note : std::wstring{};
    reading.spans = std::move(outcomes.spans);
    const std::vector<DeviceDrive> drives = deviceDrives(machine);
    for (LaunchRecord& record : records) {
        std::wstring placed;
        if (record.pathStatus == PathStatus::VolumeNotIdentified &&
            placeOnDrive(drives, record.path, placed)) {
            record.path = placed;
            record.pathStatus = PathStatus::Resolved;
        }
        // The machine's own name for the account where it has one; else the
        // name the event recorded stays.
        if (!record.userSid.empty()) {
            const std::wstring name = accountNameOnMachine(machine, record.userSid);
            if (!name.empty()) {
                record.userName = name;
            }
        }
        results.records.push_back(std::move(record));
    }
}

} // namespace tidewell
