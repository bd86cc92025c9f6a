#include "eventlog/process_start.h"

#include "platform/utc_calendar.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace {

EventItem itemOf(const EventXml& event, std::string_view name) {
    const std::string* value = event.item(name);
    return value == nullptr ? EventItem{} : EventItem{fromUtf8(*value), true};
}

// 4688 writes "-" for a name it has not and S-1-0-0 (nobody) for a SID.
bool names(const EventItem& item) {
    return item.recorded && !item.text.empty() && item.text != L"-" && item.text != L"S-1-0-0";
}

EventItem accountName(const EventXml& event, std::string_view domainItem,
                      std::string_view nameItem) {
    const EventItem domain = itemOf(event, domainItem);
    const EventItem name = itemOf(event, nameItem);
    if (!names(name)) {
        return EventItem{name.recorded ? name.text : std::wstring{}, name.recorded};
    }
    return EventItem{names(domain) ? domain.text + L"\\" + name.text : name.text, true};
}

void readSecurity(const EventXml& event, ProcessStart& start) {
    start.image = itemOf(event, "NewProcessName");
    start.commandLine = itemOf(event, "CommandLine");
    start.processId = itemOf(event, "NewProcessId");
    start.parentImage = itemOf(event, "ParentProcessName");
    start.parentProcessId = itemOf(event, "ProcessId");
    start.subjectSid = itemOf(event, "SubjectUserSid");
    start.subjectName = accountName(event, "SubjectDomainName", "SubjectUserName");
    start.targetSid = itemOf(event, "TargetUserSid");
    start.targetName = accountName(event, "TargetDomainName", "TargetUserName");
    start.logonId = itemOf(event, "SubjectLogonId");
    start.tokenElevation = itemOf(event, "TokenElevationType");
    start.integrityLevel = itemOf(event, "MandatoryLabel");
}

void readSysmon(const EventXml& event, ProcessStart& start) {
    start.image = itemOf(event, "Image");
    start.commandLine = itemOf(event, "CommandLine");
    start.currentDirectory = itemOf(event, "CurrentDirectory");
    start.processId = itemOf(event, "ProcessId");
    start.processGuid = itemOf(event, "ProcessGuid");
    start.parentImage = itemOf(event, "ParentImage");
    start.parentCommandLine = itemOf(event, "ParentCommandLine");
    start.parentProcessId = itemOf(event, "ParentProcessId");
    start.parentProcessGuid = itemOf(event, "ParentProcessGuid");
    start.user = itemOf(event, "User");
    start.logonId = itemOf(event, "LogonId");
    start.integrityLevel = itemOf(event, "IntegrityLevel");
    start.hashes = itemOf(event, "Hashes");
    start.originalFileName = itemOf(event, "OriginalFileName");
    start.description = itemOf(event, "Description");
    start.product = itemOf(event, "Product");
    start.company = itemOf(event, "Company");
    start.fileVersion = itemOf(event, "FileVersion");
    const std::string* utcTime = event.item("UtcTime");
    FileTime time = 0;
    if (utcTime != nullptr && parseUtcText(*utcTime, time)) {
        start.startTime = time;
    }
}

} // namespace

EventMeaning readProcessStart(const EventXml& event, EventLogKind log, ProcessStart& start) {
    if (!event.eventIdRead) {
        return EventMeaning::Other;
    }
    if (log == EventLogKind::Security && event.eventId == securityLogCleared) {
        return event.timeCreated != 0 ? EventMeaning::LogCleared : EventMeaning::Malformed;
    }
    const std::uint32_t startId =
        log == EventLogKind::Security ? securityProcessCreated : sysmonProcessCreate;
    if (event.eventId != startId) {
        return EventMeaning::Other;
    }
    start = ProcessStart{};
    start.log = log;
    start.eventId = event.eventId;
    start.version = event.version;
    start.recordId = event.recordId;
    start.eventTime = event.timeCreated;
    start.computer = fromUtf8(event.computer);
    start.loggedBy = fromUtf8(event.securityUserId);
    if (log == EventLogKind::Security) {
        readSecurity(event, start);
    } else {
        readSysmon(event, start);
    }
    if (start.startTime == 0) {
        start.startTime = start.eventTime;
    }
    if (start.image.text.empty() || start.startTime == 0) {
        return EventMeaning::Malformed;
    }
    return EventMeaning::ProcessStart;
}

std::wstring startAccountSid(const ProcessStart& start) {
    if (start.log != EventLogKind::Security) {
        return {};
    }
    if (names(start.targetSid)) {
        return start.targetSid.text;
    }
    return names(start.subjectSid) ? start.subjectSid.text : std::wstring{};
}

std::wstring startAccountName(const ProcessStart& start) {
    if (start.log == EventLogKind::Sysmon) {
        return names(start.user) ? start.user.text : std::wstring{};
    }
    if (names(start.targetSid) && names(start.targetName)) {
        return start.targetName.text;
    }
    return names(start.subjectName) ? start.subjectName.text : std::wstring{};
}

} // namespace tidewell
