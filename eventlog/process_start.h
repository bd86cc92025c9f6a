// A process start as an event records it: Security's event 4688 ("A new
// process has been created", versions 0 to 2) or Sysmon's event 1 (Process
// Create, every schema version), taken from the event's XML by the names of
// its items, so that a version with more or fewer items reads alike. An
// item the event does not carry is not recorded, which is not the same as
// recorded empty.
#pragma once

#include <cstdint>
#include <string>

#include "eventlog/event_xml.h"
#include "platform/filetime.h"

namespace tidewell {

enum class EventLogKind : std::uint8_t { Security, Sysmon };

inline constexpr std::uint32_t securityProcessCreated = 4688;
inline constexpr std::uint32_t securityLogCleared = 1102;
inline constexpr std::uint32_t sysmonProcessCreate = 1;

// An item of the event: its text, and whether the event carries it at all.
struct EventItem {
    std::wstring text;
    bool recorded = false;
};

struct ProcessStart {
    EventLogKind log = EventLogKind::Security;
    std::uint32_t eventId = 0;
    std::uint32_t version = 0;
    std::uint64_t recordId = 0;
    FileTime eventTime = 0; // the event's TimeCreated
    FileTime startTime = 0; // when the process started: Sysmon's UtcTime, else the event's time
    std::wstring computer;
    std::wstring loggedBy; // the record's own security UserID (Sysmon: its service's account)
    EventItem image;       // NewProcessName, Image
    EventItem commandLine;
    EventItem currentDirectory;
    EventItem processId; // as recorded: 4688 in hexadecimal, Sysmon in decimal
    EventItem processGuid;
    EventItem parentImage; // ParentProcessName (4688 version 2), ParentImage
    EventItem parentCommandLine;
    EventItem parentProcessId;
    EventItem parentProcessGuid;
    // The account: 4688's subject (who asked for the process) and target
    // (the new process's own account, version 2); Sysmon's User.
    EventItem subjectSid;
    EventItem subjectName; // DOMAIN\name
    EventItem targetSid;
    EventItem targetName;
    EventItem user;
    EventItem logonId;
    EventItem tokenElevation;
    EventItem integrityLevel; // MandatoryLabel (4688 version 2), IntegrityLevel
    EventItem hashes;
    EventItem originalFileName;
    EventItem description;
    EventItem product;
    EventItem company;
    EventItem fileVersion;
};

// What an event of a log is to this source.
enum class EventMeaning : std::uint8_t {
    ProcessStart, // start holds it
    LogCleared,   // Security's 1102: the log was cleared at the event's time
    Other,        // any other event
    Malformed,    // a start without the program it started or a time
};

// Reads an event of the log named; start is filled for a process start.
EventMeaning readProcessStart(const EventXml& event, EventLogKind log, ProcessStart& start);

// The SID of the account the process ran as: 4688's target where it names
// one, else its subject; empty for Sysmon, whose User is a name.
std::wstring startAccountSid(const ProcessStart& start);

// The account's name as the event records it (DOMAIN\name); empty where it
// records none.
std::wstring startAccountName(const ProcessStart& start);

} // namespace tidewell
