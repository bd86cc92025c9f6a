// Process starts from events of every version each log writes, the
// account each names, the clears, the events that are no start, and the
// records and notes made of a log's events.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/scan_tally.h"
#include "eventlog/eventlog_counters.h"
#include "eventlog/eventlog_details.h"
#include "eventlog/eventlog_records.h"
#include "eventlog/eventlog_source.h"
#include "eventlog/process_start.h"
#include "programs/program_builder.h"
#include "programs/program_texts.h"
#include "scan/source_table.h"

namespace tidewell {
namespace {

using Items = std::vector<std::pair<std::string, std::string>>;

std::string eventText(std::uint32_t id, std::uint32_t version, std::uint64_t recordId,
                      const Items& items, const std::string& time = "2021-11-03T08:34:27.9783762Z",
                      const std::string& userId = "") {
    std::string xml = "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'>"
                      "<System><Provider Name='P'/><EventID>" +
                      std::to_string(id) + "</EventID><Version>" + std::to_string(version) +
                      "</Version>";
    if (!time.empty()) {
        xml += "<TimeCreated SystemTime='" + time + "'/>";
    }
    xml += "<EventRecordID>" + std::to_string(recordId) + "</EventRecordID>" +
           "<Computer>FS03.offsec.lan</Computer>" +
           (userId.empty() ? std::string("<Security/>") : "<Security UserID='" + userId + "'/>") +
           "</System><EventData>";
    for (const auto& [name, value] : items) {
        xml += "<Data Name='" + name + "'>" + value + "</Data>";
    }
    return xml + "</EventData></Event>";
}

// The items of 4688 as each version has them (version 0: Vista and 2008).
Items security4688(unsigned version, const std::string& commandLine = "cmd.exe /c ver") {
    Items items = {{"SubjectUserSid", "S-1-5-21-1-2-3-1001"},
                   {"SubjectUserName", "alice"},
                   {"SubjectDomainName", "CORP"},
                   {"SubjectLogonId", "0x3e7"},
                   {"NewProcessId", "0xef4"},
                   {"NewProcessName", "C:\\Windows\\System32\\cmd.exe"},
                   {"TokenElevationType", "%%1938"},
                   {"ProcessId", "0x1e4"}};
    if (version >= 1) {
        items.emplace_back("CommandLine", commandLine);
    }
    if (version >= 2) {
        items.insert(items.end(), {{"TargetUserSid", "S-1-0-0"},
                                   {"TargetUserName", "-"},
                                   {"TargetDomainName", "-"},
                                   {"TargetLogonId", "0x0"},
                                   {"ParentProcessName", "C:\\Windows\\explorer.exe"},
                                   {"MandatoryLabel", "S-1-16-8192"}});
    }
    return items;
}

Items sysmon1(bool withOriginalName) {
    Items items = {{"UtcTime", "2017-12-26 13:10:29.134"},
                   {"ProcessGuid", "{94F748D5-4A45-5A42-0000-0010D265F20F}"},
                   {"ProcessId", "9112"},
                   {"Image", "C:\\Windows\\SysWOW64\\PING.EXE"},
                   {"CommandLine", "ping  -n 6 127.0.0.1 "},
                   {"CurrentDirectory", "C:\\Windows\\Temp\\"},
                   {"User", "NT AUTHORITY\\SYSTEM"},
                   {"IntegrityLevel", "System"},
                   {"Hashes", "MD5=A27A,SHA1=ce8e487cb76704fe5fbb821a78a1e969efbe71f9,IMPHASH=0E"},
                   {"ParentProcessGuid", "{94F748D5-D211-597D-0000-00109BD2C107}"},
                   {"ParentProcessId", "8392"},
                   {"ParentImage", "C:\\Windows\\SysWOW64\\cmd.exe"},
                   {"ParentCommandLine", "cmd.exe /c update.bat"}};
    if (withOriginalName) {
        items.insert(items.begin() + 4, {{"FileVersion", "10.0.17763.1"},
                                         {"Description", "TCP/IP Ping Command"},
                                         {"Product", "Microsoft Windows"},
                                         {"Company", "Microsoft Corporation"},
                                         {"OriginalFileName", "ping.exe"}});
    }
    return items;
}

EventMeaning read(const std::string& xml, EventLogKind log, ProcessStart& start) {
    EventXml event;
    EXPECT_TRUE(parseEventXml(xml, event));
    return readProcessStart(event, log, start);
}

TEST(ProcessStart, EachVersionOf4688GivesWhatItRecordsAndSaysWhatItDoesNot) {
    ProcessStart start;
    ASSERT_EQ(read(eventText(4688, 0, 7, security4688(0)), EventLogKind::Security, start),
              EventMeaning::ProcessStart);
    EXPECT_EQ(start.image.text, L"C:\\Windows\\System32\\cmd.exe");
    EXPECT_FALSE(start.commandLine.recorded) << "version 0 has no command line";
    EXPECT_FALSE(start.parentImage.recorded) << "nor a parent's name";
    EXPECT_EQ(start.parentProcessId.text, L"0x1e4");
    EXPECT_EQ(start.recordId, 7u);
    EXPECT_EQ(start.startTime, start.eventTime);
    EXPECT_EQ(startAccountSid(start), L"S-1-5-21-1-2-3-1001");
    EXPECT_EQ(startAccountName(start), L"CORP\\alice");

    ASSERT_EQ(read(eventText(4688, 1, 8, security4688(1, "")), EventLogKind::Security, start),
              EventMeaning::ProcessStart);
    EXPECT_TRUE(start.commandLine.recorded);
    EXPECT_TRUE(start.commandLine.text.empty()) << "the policy was off: carried empty";

    ASSERT_EQ(read(eventText(4688, 2, 9, security4688(2)), EventLogKind::Security, start),
              EventMeaning::ProcessStart);
    EXPECT_EQ(start.commandLine.text, L"cmd.exe /c ver");
    EXPECT_EQ(start.parentImage.text, L"C:\\Windows\\explorer.exe");
    EXPECT_EQ(start.integrityLevel.text, L"S-1-16-8192");
    EXPECT_EQ(startAccountSid(start), L"S-1-5-21-1-2-3-1001") << "S-1-0-0 names nobody";

    // A start under another account (runas): version 2's target is its own.
    Items runAs = security4688(2);
    for (auto& [name, value] : runAs) {
        if (name == "TargetUserSid") {
            value = "S-1-5-21-1-2-3-500";
        } else if (name == "TargetUserName") {
            value = "admin";
        } else if (name == "TargetDomainName") {
            value = "CORP";
        }
    }
    ASSERT_EQ(read(eventText(4688, 2, 10, runAs), EventLogKind::Security, start),
              EventMeaning::ProcessStart);
    EXPECT_EQ(startAccountSid(start), L"S-1-5-21-1-2-3-500");
    EXPECT_EQ(startAccountName(start), L"CORP\\admin");
}

TEST(ProcessStart, SysmonOfEverySchemaWithItsCreationTimeAndUser) {
    ProcessStart start;
    for (bool newer : {false, true}) {
        ASSERT_EQ(read(eventText(1, newer ? 5 : 3, 1742, sysmon1(newer),
                                 "2017-12-26T13:10:29.136879200Z", "S-1-5-18"),
                       EventLogKind::Sysmon, start),
                  EventMeaning::ProcessStart);
        EXPECT_EQ(start.log, EventLogKind::Sysmon);
        EXPECT_EQ(start.startTime, 131587674291340000ULL) << "UtcTime: the process's creation";
        EXPECT_EQ(start.eventTime, 131587674291368792ULL);
        EXPECT_EQ(start.parentCommandLine.text, L"cmd.exe /c update.bat");
        EXPECT_EQ(start.currentDirectory.text, L"C:\\Windows\\Temp\\");
        EXPECT_EQ(start.loggedBy, L"S-1-5-18");
        EXPECT_EQ(startAccountSid(start), L"") << "Sysmon's User is a name";
        EXPECT_EQ(startAccountName(start), L"NT AUTHORITY\\SYSTEM");
        EXPECT_EQ(start.originalFileName.recorded, newer);
        EXPECT_EQ(start.originalFileName.text, newer ? L"ping.exe" : L"");
    }
    // A UtcTime that is no time leaves the event's own.
    Items badTime = sysmon1(false);
    badTime[0].second = "soon";
    ASSERT_EQ(
        read(eventText(1, 5, 1, badTime, "2017-12-26T13:10:29Z"), EventLogKind::Sysmon, start),
        EventMeaning::ProcessStart);
    EXPECT_EQ(start.startTime, 131587674290000000ULL);
}

TEST(ProcessStart, ClearsOtherEventsAndStartsWithoutProgramOrTime) {
    ProcessStart start;
    EXPECT_EQ(read(eventText(1102, 1, 5, {}), EventLogKind::Security, start),
              EventMeaning::LogCleared);
    EXPECT_EQ(read(eventText(1102, 1, 5, {}), EventLogKind::Sysmon, start), EventMeaning::Other);
    EXPECT_EQ(read(eventText(4689, 0, 5, security4688(0)), EventLogKind::Security, start),
              EventMeaning::Other)
        << "an exit is no start";
    EXPECT_EQ(read(eventText(1, 5, 5, sysmon1(true)), EventLogKind::Security, start),
              EventMeaning::Other)
        << "1 means a start in Sysmon's log only";
    EXPECT_EQ(read(eventText(4688, 2, 5, {{"CommandLine", "x"}}), EventLogKind::Security, start),
              EventMeaning::Malformed);
    EXPECT_EQ(read(eventText(4688, 2, 5, security4688(2), ""), EventLogKind::Security, start),
              EventMeaning::Malformed);
}

EvtxEvent logged(std::uint64_t recordId, const std::string& xml, bool recovered = false) {
    return EvtxEvent{recordId, 132804020679783762ULL, 0, recovered, xml};
}

TEST(EventLogRecords, OneRecordPerStartCountedWithClearsAndFreeSpaceDuplicatesLeft) {
    std::vector<EvtxEvent> events = {
        logged(1, eventText(4688, 2, 1, security4688(2))),
        logged(2, eventText(4688, 1, 2, security4688(1, ""))),
        logged(3, eventText(1102, 1, 3, {}, "2021-11-04T00:00:00Z")),
        logged(4, eventText(4688, 2, 4, {{"CommandLine", "x"}})),
        logged(5, "<Event><System>"),
        logged(1, eventText(4688, 2, 1, security4688(2)), true),   // still listed: not again
        logged(90, eventText(4688, 0, 90, security4688(0)), true), // found in free space only
    };
    ScanTally tally = freshTally(tableSources());
    RecordList records;
    const LogEventCounts counts =
        makeEventLogRecords(events, EventLogKind::Security, L"E:\\Security.evtx", records, tally);
    EXPECT_EQ(counts.starts, 3u);
    EXPECT_EQ(counts.clears, 1u);
    EXPECT_EQ(tally[eventLogStartsRead], 3u);
    EXPECT_EQ(tally[eventLogNoCommandLine], 2u) << "one carried empty, one of version 0";
    EXPECT_EQ(tally[eventLogStartsMalformed], 1u);
    EXPECT_EQ(tally[eventLogRecordsUnreadable], 1u);
    EXPECT_EQ(tally[eventLogCleared], 1u);
    ASSERT_EQ(records.size(), 3u);
    const LaunchRecord& first = records[0];
    EXPECT_EQ(first.source, &eventLogSource);
    EXPECT_EQ(first.name, L"cmd.exe");
    EXPECT_EQ(first.path, L"C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(first.pathStatus, PathStatus::Resolved);
    EXPECT_EQ(first.userSid, L"S-1-5-21-1-2-3-1001");
    EXPECT_EQ(first.userName, L"CORP\\alice");
    EXPECT_EQ(first.recordFile, L"E:\\Security.evtx");
    ASSERT_EQ(first.runTimes.size(), 1u);
    EXPECT_FALSE(eventLogDetails(first)->recovered);
    EXPECT_TRUE(eventLogDetails(records[2])->recovered);
    EXPECT_EQ(eventLogDetails(records[2])->start.recordId, 90u);

    EvtxLog log;
    log.records = 735;
    log.oldest = 132804020679783762ULL;
    log.newest = 132804020679783762ULL + 600ULL * 10000000ULL;
    log.dirty = true;
    log.recordsUnreadable = 2;
    EXPECT_EQ(logReadNote(EventLogKind::Security, log, counts),
              L"Security: 735 records from 2021-11-03 08:34:27 UTC to 2021-11-03 08:44:27 UTC, "
              L"3 process starts, cleared 1 time (last 2021-11-04 00:00:00 UTC), 2 damaged, "
              L"marked dirty");
}

TEST(EventLogRecords, SysmonsHashGivesTheFilesSha1AndAKernelPathWaitsForItsDrive) {
    Items items = sysmon1(true);
    items[3].second = "\\Device\\HarddiskVolume3\\Tools\\x.exe";
    ScanTally tally = freshTally(tableSources());
    RecordList records;
    makeEventLogRecords({logged(1, eventText(1, 5, 1, items))}, EventLogKind::Sysmon, L"S", records,
                        tally);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(records[0].name, L"x.exe");
    EXPECT_EQ(eventLogDetails(records[0])->sha1, L"CE8E487CB76704FE5FBB821A78A1E969EFBE71F9");
    JoinFacts facts;
    eventLogSource.joinFacts(records[0], facts);
    EXPECT_EQ(facts.devicePath, L"\\Device\\HarddiskVolume3\\Tools\\x.exe");
    EXPECT_EQ(facts.sha1, L"CE8E487CB76704FE5FBB821A78A1E969EFBE71F9");
}

TEST(EventLogRecords, AProgramsStartsStandTogetherInItsRow) {
    std::vector<EvtxEvent> events;
    for (std::uint64_t id = 1; id <= 3; ++id) {
        events.push_back(logged(id, eventText(4688, 2, id, security4688(2))));
    }
    Items elsewhere = security4688(2);
    elsewhere[5].second = "C:\\Tools\\other.exe";
    events.push_back(logged(4, eventText(4688, 2, 4, elsewhere)));
    ScanTally tally = freshTally(tableSources());
    RecordList records;
    makeEventLogRecords(events, EventLogKind::Security, L"S", records, tally);
    ASSERT_EQ(records.size(), 4u);
    ScanOrigin origin;
    origin.evidence = true;
    const ProgramList list = buildPrograms(records, origin);
    ASSERT_EQ(list.programs.size(), 2u);
    // Records 0 to 2 start cmd.exe, record 3 another program.
    const Program& cmd = list.programs.at(list.programOfRecord.at(0));
    const Program& other = list.programs.at(list.programOfRecord.at(3));
    EXPECT_EQ(list.programOfRecord.at(1), list.programOfRecord.at(0));
    EXPECT_EQ(programTexts(list, cmd, records, origin).ranPer, L"Event logs: 3 starts");
    EXPECT_EQ(programTexts(list, other, records, origin).ranPer, L"Event logs: 1 start");
}

} // namespace
} // namespace tidewell
