// How an event log record is shown, and how the banner and the report speak
// of the source: its row of the table of sources.
#include "eventlog/eventlog_counters.h"
#include "eventlog/eventlog_details.h"
#include "eventlog/eventlog_source.h"
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

const EventLogDetails& detailsOf(const LaunchRecord& record) {
    static const EventLogDetails none;
    const EventLogDetails* details = eventLogDetails(record);
    return details != nullptr ? *details : none;
}

const wchar_t* logWord(EventLogKind log) {
    return log == EventLogKind::Security ? L"Security" : L"Sysmon";
}

// The token elevation types 4688 writes as message references.
std::wstring elevationText(const std::wstring& recorded) {
    if (recorded == L"%%1936") {
        return recorded + L" (type 1: a full token, no split token in use)";
    }
    if (recorded == L"%%1937") {
        return recorded + L" (type 2: elevated)";
    }
    if (recorded == L"%%1938") {
        return recorded + L" (type 3: limited, not elevated)";
    }
    return recorded;
}

// The mandatory labels' SIDs by the levels they name.
std::wstring labelText(const std::wstring& recorded) {
    struct Level {
        const wchar_t* sid;
        const wchar_t* name;
    };
    static constexpr Level levels[] = {
        {L"S-1-16-0", L"Untrusted"},
        {L"S-1-16-4096", L"Low"},
        {L"S-1-16-8192", L"Medium"},
        {L"S-1-16-8448", L"Medium Plus"},
        {L"S-1-16-12288", L"High"},
        {L"S-1-16-16384", L"System"},
        {L"S-1-16-20480", L"Protected Process"},
    };
    for (const Level& level : levels) {
        if (recorded == level.sid) {
            return recorded + L" (" + level.name + L")";
        }
    }
    return recorded;
}

// A labelled line; an item the event does not carry is said to be missing,
// one it carries empty is said to be empty.
void itemLine(std::wstring& text, const wchar_t* label, const EventItem& item,
              const wchar_t* notRecorded = L"(not recorded by this event)",
              std::wstring (*shown)(const std::wstring&) = nullptr) {
    text += label;
    if (!item.recorded) {
        text += notRecorded;
    } else if (item.text.empty()) {
        text += L"(empty)";
    } else {
        text += shown != nullptr ? shown(item.text) : item.text;
    }
    text += detailLineEnd;
}

// A line only where the event carries the item.
void presentLine(std::wstring& text, const wchar_t* label, const EventItem& item) {
    if (item.recorded && !item.text.empty()) {
        text += label + item.text + detailLineEnd;
    }
}

std::wstring commandLineWords(const ProcessStart& start) {
    if (start.commandLine.recorded && !start.commandLine.text.empty()) {
        return start.commandLine.text;
    }
    return {};
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    const ProcessStart& start = detailsOf(record).start;
    const std::wstring command = commandLineWords(start);
    std::wstring text = command.empty() ? std::wstring(L"(no command line recorded)") : command;
    if (start.parentImage.recorded && !start.parentImage.text.empty()) {
        const std::size_t slash = start.parentImage.text.find_last_of(L'\\');
        text +=
            L"  \u2190 " + (slash == std::wstring::npos ? start.parentImage.text
                                                        : start.parentImage.text.substr(slash + 1));
    }
    return text;
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const EventLogDetails& details = detailsOf(record);
    const ProcessStart& start = details.start;
    const bool sysmon = start.log == EventLogKind::Sysmon;
    if (record.pathStatus == PathStatus::VolumeNotIdentified) {
        parts.pathExplanation = std::wstring(L"  \u2014 the kernel's name for a volume; the") +
                                detailUnder + L"machine's files do not say which drive it was";
    }
    std::wstring& text = parts.fields;
    const wchar_t* zone = context.times == TimeBasis::Utc ? L" UTC" : L"";
    text += L"Event:             " + std::wstring(logWord(start.log)) + L" event " +
            decimalText(start.eventId) + L" (version " + decimalText(start.version) +
            L"), record " + decimalText(start.recordId) + detailLineEnd;
    if (start.eventTime != 0) {
        text += L"Logged:            " + formatTimestamp(start.eventTime, context.times) + zone +
                detailLineEnd;
    }
    if (details.recovered) {
        text += std::wstring(L"Recovered:         from the log's free space: a record Windows") +
                detailUnder + L"had let go, read because it was asked for" + detailLineEnd;
    }
    itemLine(text, L"Command line:      ", start.commandLine,
             sysmon ? L"(not recorded by this event)"
                    : L"(not recorded: the policy to record command lines was off)");
    if (sysmon) {
        itemLine(text, L"Current folder:    ", start.currentDirectory);
    }
    itemLine(text, L"Process id:        ", start.processId);
    presentLine(text, L"Process GUID:      ", start.processGuid);
    itemLine(text, L"Parent:            ", start.parentImage,
             sysmon ? L"(not recorded by this event)"
                    : L"(not recorded: events of version 2 name the parent)");
    if (sysmon) {
        itemLine(text, L"Parent's command:  ", start.parentCommandLine);
    }
    itemLine(text, L"Parent process id: ", start.parentProcessId);
    presentLine(text, L"Parent GUID:       ", start.parentProcessGuid);
    if (sysmon) {
        itemLine(text, L"User:              ", start.user);
    } else {
        std::wstring subject = start.subjectName.text;
        if (start.subjectSid.recorded) {
            subject += (subject.empty() ? L"" : L" (") + start.subjectSid.text +
                       (subject.empty() ? L"" : L")");
        }
        text += L"Requested by:      " + (subject.empty() ? L"(not recorded)" : subject) +
                detailLineEnd;
        if (start.targetSid.recorded) {
            const bool same = start.targetSid.text == L"S-1-0-0" || start.targetSid.text.empty();
            text += L"Runs as:           " +
                    (same ? std::wstring(L"the same account")
                          : start.targetName.text + L" (" + start.targetSid.text + L")") +
                    detailLineEnd;
        }
    }
    presentLine(text, L"Logon id:          ", start.logonId);
    if (!sysmon) {
        itemLine(text, L"Token elevation:   ", start.tokenElevation,
                 L"(not recorded by this event)", elevationText);
        itemLine(text, L"Mandatory label:   ", start.integrityLevel,
                 L"(not recorded: events of version 2 give it)", labelText);
    } else {
        itemLine(text, L"Integrity level:   ", start.integrityLevel);
        itemLine(text, L"Hashes:            ", start.hashes);
        itemLine(text, L"Original name:     ", start.originalFileName,
                 L"(not recorded by this schema of Sysmon)");
        presentLine(text, L"Description:       ", start.description);
        presentLine(text, L"Product:           ", start.product);
        presentLine(text, L"Company:           ", start.company);
        presentLine(text, L"File version:      ", start.fileVersion);
    }
    if (!start.computer.empty()) {
        text += L"Computer:          " + start.computer + detailLineEnd;
    }
    if (!start.loggedBy.empty()) {
        text += L"Logged by:         " + start.loggedBy + detailLineEnd;
    }
    parts.afterRunTimes =
        sysmon ? L"\r\n    Sysmon logged this start with the time the process was\r\n"
                 L"    created (its UtcTime); the event was written just after.\r\n"
               : L"\r\n    The Security log records a start when process auditing is\r\n"
                 L"    on; starts before its oldest record are not known to it.\r\n";
}

void optionalItem(JsonWriter& json, std::string_view name, const EventItem& item) {
    if (item.recorded) {
        json.member(name, item.text);
    } else {
        json.memberNull(name);
    }
}

// The members every record has, null for other sources' records.
constexpr const char* memberNames[] = {
    "event_log",
    "event_id",
    "event_version",
    "event_record_id",
    "event_logged",
    "event_recovered",
    "command_line",
    "current_directory",
    "process_id",
    "process_guid",
    "parent_image",
    "parent_command_line",
    "parent_process_id",
    "parent_process_guid",
    "subject_user_sid",
    "subject_user_name",
    "target_user_sid",
    "target_user_name",
    "sysmon_user",
    "logon_id",
    "token_elevation_type",
    "integrity_level",
    "hashes",
    "original_file_name",
    "file_description",
    "product",
    "company",
    "file_version",
    "computer",
    "logged_by",
};

void members(JsonWriter& json, const LaunchRecord* record) {
    const EventLogDetails* details = record != nullptr ? eventLogDetails(*record) : nullptr;
    if (details == nullptr) {
        for (const char* name : memberNames) {
            json.memberNull(name);
        }
        return;
    }
    const ProcessStart& start = details->start;
    json.member("event_log", std::wstring_view(logWord(start.log)));
    json.member("event_id", start.eventId);
    json.member("event_version", start.version);
    json.member("event_record_id", start.recordId);
    jsonOptionalMoment(json, "event_logged", start.eventTime);
    json.memberFlag("event_recovered", details->recovered);
    optionalItem(json, "command_line", start.commandLine);
    optionalItem(json, "current_directory", start.currentDirectory);
    optionalItem(json, "process_id", start.processId);
    optionalItem(json, "process_guid", start.processGuid);
    optionalItem(json, "parent_image", start.parentImage);
    optionalItem(json, "parent_command_line", start.parentCommandLine);
    optionalItem(json, "parent_process_id", start.parentProcessId);
    optionalItem(json, "parent_process_guid", start.parentProcessGuid);
    optionalItem(json, "subject_user_sid", start.subjectSid);
    optionalItem(json, "subject_user_name", start.subjectName);
    optionalItem(json, "target_user_sid", start.targetSid);
    optionalItem(json, "target_user_name", start.targetName);
    optionalItem(json, "sysmon_user", start.user);
    optionalItem(json, "logon_id", start.logonId);
    optionalItem(json, "token_elevation_type", start.tokenElevation);
    optionalItem(json, "integrity_level", start.integrityLevel);
    optionalItem(json, "hashes", start.hashes);
    optionalItem(json, "original_file_name", start.originalFileName);
    optionalItem(json, "file_description", start.description);
    optionalItem(json, "product", start.product);
    optionalItem(json, "company", start.company);
    optionalItem(json, "file_version", start.fileVersion);
    jsonOptionalText(json, "computer", start.computer);
    jsonOptionalText(json, "logged_by", start.loggedBy);
}

void eventMembers(JsonWriter& json, const LaunchRecord* record) {
    const EventLogDetails* details = record != nullptr ? eventLogDetails(*record) : nullptr;
    if (details == nullptr) {
        json.memberNull("command_line");
        json.memberNull("parent_image");
        json.memberNull("event_record_id");
        return;
    }
    optionalItem(json, "command_line", details->start.commandLine);
    optionalItem(json, "parent_image", details->start.parentImage);
    json.member("event_record_id", details->start.recordId);
}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*run*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    const ProcessStart& start = detailsOf(record).start;
    std::wstring text = std::wstring(logWord(start.log)) + L" event " + decimalText(start.eventId) +
                        onHost + L": " + record.name + fromWhere + L" started";
    const std::wstring command = commandLineWords(start);
    text += command.empty() ? L", command line not recorded" : L", command line " + command;
    if (start.parentImage.recorded && !start.parentImage.text.empty()) {
        text += L", parent " + start.parentImage.text;
    }
    if (!record.userName.empty() || !record.userSid.empty()) {
        text += L", as " + (record.userName.empty() ? record.userSid : record.userName);
    }
    return text;
}

// A start is the same start in every state of the machine that holds its
// log: the log, its record id and its time name it.
std::wstring mergeKey(const LaunchRecord& record) {
    const ProcessStart& start = detailsOf(record).start;
    return std::wstring(logWord(start.log)) + L"|" + decimalText(start.recordId) + L"|" +
           decimalText(start.eventTime);
}

constexpr const wchar_t* reportCaution[] = {
    L"Event log starts are recorded only where process auditing (Security 4688) or Sysmon",
    L"was on, and only as far back as each log's oldest record.",
    nullptr,
};

std::any newDetails() {
    return EventLogDetails{};
}

void joinFacts(const LaunchRecord& record, JoinFacts& facts) {
    const EventLogDetails* details = eventLogDetails(record);
    if (details == nullptr) {
        return;
    }
    const std::wstring& image = details->start.image.text;
    if (image.starts_with(L"\\")) {
        facts.devicePath = image;
    }
    if (!details->sha1.empty()) {
        facts.sha1 = details->sha1;
    }
}

void countWords(const LaunchRecord& record, std::wstring& text) {
    text += std::wstring(L"1 start (") + logWord(detailsOf(record).start.log) + L")";
}

void countTogether(std::size_t records, std::wstring& text) {
    text += groupedDecimalText(records) + (records == 1 ? L" start" : L" starts");
}

} // namespace

const RecordSource eventLogSource = {
    .number = 6,
    .word = L"Event logs",
    .described = L"Event logs (a process start: Security event 4688 or Sysmon event 1)",
    .runTimeMeaning = L"Event log: process started",
    .viewMenuText = L"Show &event log starts",
    .countsRuns = false,
    .timesAreRuns = true,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"Event logs",
            .bannerName = L"event log starts",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"The event logs record starts only where process auditing or "
                             L"Sysmon was on, and only back to each log's oldest record.",
        },
    .counters = eventLogCounters,
    .facts = {},
    .newDetails = newDetails,
    .namedTimes = nullptr,
    .cells = cells,
    .listDetail = listDetail,
    .detailParts = detailParts,
    .jsonMembers = members,
    .eventMembers = eventMembers,
    .eventMessage = eventMessage,
    .mergeKey = mergeKey,
    .joinFacts = joinFacts,
    .countWords = countWords,
    .countTogether = countTogether,
};

} // namespace tidewell
