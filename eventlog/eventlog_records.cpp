#include "eventlog/eventlog_records.h"

#include <utility>

#include "eventlog/eventlog_counters.h"
#include "eventlog/eventlog_details.h"
#include "eventlog/eventlog_source.h"
#include "platform/decimal_text.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

bool driveLetterPath(const std::wstring& path) {
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

// Sysmon's Hashes: "SHA1=CE8E...,MD5=...,SHA256=...", each algorithm its
// configuration asked for; the SHA-1 ties the start to the file's other
// records that hash it.
std::wstring sha1Of(const std::wstring& hashes) {
    std::size_t at = 0;
    while (at < hashes.size()) {
        std::size_t end = hashes.find(L',', at);
        end = end == std::wstring::npos ? hashes.size() : end;
        const std::wstring_view part(hashes.data() + at, end - at);
        if (part.size() == 45 && (part.starts_with(L"SHA1=") || part.starts_with(L"sha1="))) {
            std::wstring value(part.substr(5));
            for (wchar_t& c : value) {
                if (c >= L'a' && c <= L'f') {
                    c = static_cast<wchar_t>(c - L'a' + L'A');
                } else if (!((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'))) {
                    return {};
                }
            }
            return value;
        }
        at = end + 1;
    }
    return {};
}

LaunchRecord startRecord(ProcessStart start, bool recovered, const std::wstring& recordFile) {
    LaunchRecord record = makeRecord(eventLogSource);
    const std::wstring& image = start.image.text;
    const std::size_t slash = image.find_last_of(L"\\/");
    record.name = slash == std::wstring::npos ? image : image.substr(slash + 1);
    if (driveLetterPath(image)) {
        record.path = image;
        record.pathStatus = PathStatus::Resolved;
    } else if (image.starts_with(L"\\")) {
        // The kernel's name of a volume (\Device\HarddiskVolume2\...): the
        // scan places it on a drive where the machine says which.
        record.path = image;
        record.pathStatus = PathStatus::VolumeNotIdentified;
    }
    record.runTimes.push_back(start.startTime);
    record.userSid = startAccountSid(start);
    record.userName = startAccountName(start);
    record.recordFile = recordFile;
    EventLogDetails& details = *eventLogDetails(record);
    details.sha1 = sha1Of(start.hashes.text);
    details.start = std::move(start);
    details.recovered = recovered;
    return record;
}

std::wstring utcText(FileTime time) {
    return formatTimestamp(time, TimeBasis::Utc) + L" UTC";
}

} // namespace

const wchar_t* logName(EventLogKind log) {
    return log == EventLogKind::Security ? L"Security" : L"Sysmon";
}

EventRecordMaker eventRecordMaker(EventLogKind log, const std::wstring& recordFile) {
    EventRecordMaker maker;
    maker.log = log;
    maker.recordFile = recordFile;
    return maker;
}

void addEventRecords(EventRecordMaker& maker, const std::vector<EvtxEvent>& events) {
    EventXml xml;
    ScanTally& tally = maker.tally;
    for (const EvtxEvent& event : events) {
        if (!event.recovered) {
            maker.listed.emplace(event.recordId, event.writtenTime);
        } else if (maker.listed.contains({event.recordId, event.writtenTime})) {
            continue;
        }
        if (!parseEventXml(event.xml, xml)) {
            ++tally[eventLogRecordsUnreadable];
            continue;
        }
        ProcessStart start;
        switch (readProcessStart(xml, maker.log, start)) {
        case EventMeaning::ProcessStart:
            ++maker.counts.starts;
            ++tally[eventLogStartsRead];
            if (!start.commandLine.recorded || start.commandLine.text.empty()) {
                ++tally[eventLogNoCommandLine];
            }
            maker.records.push_back(
                startRecord(std::move(start), event.recovered, maker.recordFile));
            break;
        case EventMeaning::LogCleared:
            ++maker.counts.clears;
            ++tally[eventLogCleared];
            maker.counts.newestClear = std::max(maker.counts.newestClear, xml.timeCreated);
            break;
        case EventMeaning::Malformed:
            ++tally[eventLogStartsMalformed];
            break;
        case EventMeaning::Other:
            break;
        }
    }
}

LogEventCounts takeEventRecords(EventRecordMaker& maker, RecordList& records, ScanTally& tally) {
    for (LaunchRecord& record : maker.records) {
        records.push_back(std::move(record));
    }
    maker.records.clear();
    addTally(tally, maker.tally);
    maker.tally = {};
    return maker.counts;
}

LogEventCounts makeEventLogRecords(const std::vector<EvtxEvent>& events, EventLogKind log,
                                   const std::wstring& recordFile, RecordList& records,
                                   ScanTally& tally) {
    EventRecordMaker maker = eventRecordMaker(log, recordFile);
    // The log's own records known first, so that one its free space
    // repeats is known wherever it stands among them.
    for (const EvtxEvent& event : events) {
        if (!event.recovered) {
            maker.listed.emplace(event.recordId, event.writtenTime);
        }
    }
    addEventRecords(maker, events);
    return takeEventRecords(maker, records, tally);
}

std::wstring logReadNote(EventLogKind log, const EvtxLog& read, const LogEventCounts& counts) {
    std::wstring note = std::wstring(logName(log)) + L": " + groupedDecimalText(read.records) +
                        (read.records == 1 ? L" record" : L" records");
    if (read.oldest != 0) {
        note += L" from " + utcText(read.oldest) + L" to " + utcText(read.newest);
    }
    note += L", " + groupedDecimalText(counts.starts) +
            (counts.starts == 1 ? L" process start" : L" process starts");
    if (counts.clears != 0) {
        note += L", cleared " + groupedDecimalText(counts.clears) +
                (counts.clears == 1 ? L" time" : L" times") + L" (last " +
                utcText(counts.newestClear) + L")";
    }
    if (read.recordsUnreadable != 0) {
        note += L", " + groupedDecimalText(read.recordsUnreadable) + L" damaged";
    }
    if (read.dirty) {
        note += L", marked dirty";
    }
    if (read.full) {
        note += L", full";
    }
    return note;
}

} // namespace tidewell
