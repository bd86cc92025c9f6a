// Real event logs read through libevtx: Security's 4688 and Sysmon's
// starts as an independent exporter lists them, dirty and damaged logs, the
// records in free space read only when asked for, the reading process's
// answer in pieces, and whole scans of a copy of a drive that holds the logs.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/scan_counters.h"
#include "eventlog/eventlog_counters.h"
#include "eventlog/eventlog_details.h"
#include "eventlog/eventlog_source.h"
#include "eventlog/evtx_log.h"
#include "sample/evidence_tree.h"
#include "sample/hive_writer.h"
#include "support/corpus_files.h"
#include "support/scans.h"
#include "ui/detail_text.h"

namespace tidewell {
namespace {

const std::string evtxFolder = "sources/evtx";
const char tchopper[] =
    "EVTX-to-MITRE-Attack/ID4688-Obfuscated payload transfer via service name - Tchopper.evtx";
const char lsassy[] = "EVTX-to-MITRE-Attack/ID1-LSASS dump with LSASSY (SYSMON).evtx";
const char sysmonLog[] = "omerbenamram-evtx/sysmon.evtx";

std::vector<std::uint8_t> logBytes(const std::string& name) {
    return testing::readWholeFile(testing::corpusRoot() / evtxFolder / name);
}

std::size_t countOf(const EvtxLog& log, std::uint32_t eventId) {
    std::size_t count = 0;
    for (const EvtxEvent& event : log.events) {
        count += event.eventId == eventId ? 1 : 0;
    }
    return count;
}

TEST(EvtxLog, ASecurityLogGivesEvery4688WithItsCommandLine) {
    TIDEWELL_REQUIRE_CORPUS(evtxFolder);
    const EvtxLog log = readEvtxLog(logBytes(tchopper), EventLogKind::Security, false);
    ASSERT_EQ(log.open, EvtxOpen::Opened) << testing::narrow(log.why);
    EXPECT_EQ(log.records, 735u);
    EXPECT_EQ(log.recordsUnreadable, 0u);
    EXPECT_EQ(countOf(log, 4688), 735u);
    EXPECT_EQ(log.recoverable, 75u);
    EXPECT_EQ(log.recoveredRead, 0u) << "free space is read only when asked for";
    ASSERT_FALSE(log.events.empty());
    for (const EvtxEvent& event : log.events) {
        // Each event's text whole and alone: nothing of a longer one before it.
        const std::size_t end = event.xml.rfind("</Event>");
        ASSERT_NE(end, std::string::npos);
        EXPECT_EQ(event.xml.find_first_not_of(" \r\n", end + 8), std::string::npos);
    }
    EventXml xml;
    ASSERT_TRUE(parseEventXml(log.events.front().xml, xml));
    ProcessStart start;
    ASSERT_EQ(readProcessStart(xml, EventLogKind::Security, start), EventMeaning::ProcessStart);
    EXPECT_EQ(start.version, 2u);
    EXPECT_FALSE(start.image.text.empty());
    EXPECT_TRUE(start.commandLine.recorded);
    // The event's own time, a little before the record was written.
    EXPECT_EQ(start.eventTime, 132804020679783762ULL);
    EXPECT_EQ(log.events.front().writtenTime, 132804020679939874ULL);

    // Its 75 records in free space are copies of records it still lists
    // (the same record ids and times, as evtxexport's recovered mode shows).
    const EvtxLog recovering = readEvtxLog(logBytes(tchopper), EventLogKind::Security, true);
    EXPECT_EQ(recovering.recoveredRead, 0u);
    EXPECT_EQ(recovering.recoveredUnreadable, 0u);
    EXPECT_EQ(recovering.events.size(), log.events.size());
}

TEST(EvtxLog, FreeSpaceOfAnotherLogsRecordsGivesNoStartsOfThisOne) {
    TIDEWELL_REQUIRE_CORPUS(evtxFolder);
    // This Sysmon log's free space holds 47 records of a Security log that
    // used its chunks before, two of them 4688s: no Sysmon starts.
    const EvtxLog log = readEvtxLog(logBytes(lsassy), EventLogKind::Sysmon, true);
    ASSERT_EQ(log.open, EvtxOpen::Opened);
    EXPECT_EQ(log.records, 14u);
    EXPECT_EQ(log.recoverable, 47u);
    EXPECT_GT(log.recoveredRead, 40u);
    EXPECT_EQ(log.recoveredRead + log.recoveredUnreadable, 47u);
    ASSERT_EQ(log.events.size(), 2u);
    for (const EvtxEvent& event : log.events) {
        EXPECT_FALSE(event.recovered);
        EXPECT_EQ(event.eventId, 1u);
    }
    const EvtxLog asSecurity = readEvtxLog(logBytes(lsassy), EventLogKind::Security, true);
    std::size_t recoveredStarts = 0;
    for (const EvtxEvent& event : asSecurity.events) {
        recoveredStarts += event.recovered && event.eventId == 4688 ? 1 : 0;
    }
    EXPECT_EQ(recoveredStarts, 2u);
}

TEST(EvtxLog, ADirtySysmonLogIsReadWholeAndSaidToBeDirty) {
    TIDEWELL_REQUIRE_CORPUS(evtxFolder);
    const EvtxLog log = readEvtxLog(logBytes(sysmonLog), EventLogKind::Sysmon, false);
    ASSERT_EQ(log.open, EvtxOpen::Opened);
    EXPECT_TRUE(log.dirty);
    EXPECT_EQ(log.records, 358u);
    EXPECT_EQ(countOf(log, 1), 227u);
    EXPECT_EQ(log.events.size(), 227u) << "only starts are rendered";
    EXPECT_LT(log.oldest, log.newest);
}

TEST(EvtxLog, DamagedLogsAreRefusedOrCountedAndTheAnswerMustBeWhole) {
    TIDEWELL_REQUIRE_CORPUS(evtxFolder);
    EXPECT_EQ(
        readEvtxLog(std::vector<std::uint8_t>(70000, 0x5a), EventLogKind::Security, false).open,
        EvtxOpen::Refused);
    EXPECT_EQ(readEvtxLog({}, EventLogKind::Security, false).open, EvtxOpen::Refused);
    // A chunk whose records are overwritten: counted, the rest read.
    std::vector<std::uint8_t> bytes = logBytes(tchopper);
    ASSERT_GT(bytes.size(), 4096u + 65536u);
    for (std::size_t at = 4096 + 512 + 2000; at < 4096 + 65536 - 2000; ++at) {
        bytes[at] = static_cast<std::uint8_t>(at * 7);
    }
    const EvtxLog damaged = readEvtxLog(bytes, EventLogKind::Security, false);
    ASSERT_EQ(damaged.open, EvtxOpen::Opened);
    EXPECT_GT(damaged.recordsUnreadable + (735 - damaged.records), 0u);
    EXPECT_LT(damaged.events.size(), 735u);
    EXPECT_GT(damaged.events.size(), 600u);
}

TEST(EvtxLog, TheReadingProcessPiecesAreTakenOnlyWhole) {
    std::vector<EvtxEvent> events = {{7, 8, 4688, true, "<Event/>"}, {9, 10, 1102, false, ""}};
    std::vector<std::uint8_t> eventsPiece;
    writeEvtxEventsPiece(events, eventsPiece);
    EvtxLog answer;
    answer.open = EvtxOpen::Opened;
    answer.why = L"w";
    answer.records = 3;
    answer.dirty = true;
    answer.newest = 11;
    std::vector<std::uint8_t> figuresPiece;
    writeEvtxFiguresPiece(answer, figuresPiece);

    EvtxLog back;
    std::vector<EvtxEvent> received = {{1, 1, 1, false, "before"}};
    ASSERT_EQ(readEvtxPiece(ByteView{eventsPiece.data(), eventsPiece.size()}, back, received),
              EvtxPiece::Events);
    ASSERT_EQ(received.size(), 3u) << "appended to what was there";
    EXPECT_TRUE(received[1].recovered);
    EXPECT_EQ(received[1].xml, "<Event/>");
    EXPECT_EQ(received[2].recordId, 9u);
    EXPECT_EQ(received[2].eventId, 1102u);
    back.events = {received[0]};
    ASSERT_EQ(readEvtxPiece(ByteView{figuresPiece.data(), figuresPiece.size()}, back, received),
              EvtxPiece::Figures);
    EXPECT_EQ(back.records, 3u);
    EXPECT_TRUE(back.dirty);
    EXPECT_EQ(back.newest, 11u);
    EXPECT_EQ(back.why, L"w");
    EXPECT_EQ(back.events.size(), 1u) << "the figures leave the events as they were";

    // Either piece cut anywhere, or with a byte more, is taken as nothing.
    for (std::vector<std::uint8_t>* piece : {&eventsPiece, &figuresPiece}) {
        for (std::size_t keep = 0; keep < piece->size(); ++keep) {
            EvtxLog cut;
            std::vector<EvtxEvent> cutEvents;
            EXPECT_EQ(readEvtxPiece(ByteView{piece->data(), keep}, cut, cutEvents),
                      EvtxPiece::Unsound)
                << keep;
            EXPECT_TRUE(cutEvents.empty()) << keep;
            EXPECT_EQ(cut.records, 0u) << keep;
        }
        piece->push_back(0);
        EvtxLog longer;
        std::vector<EvtxEvent> longerEvents;
        EXPECT_EQ(readEvtxPiece(ByteView{piece->data(), piece->size()}, longer, longerEvents),
                  EvtxPiece::Unsound);
    }
}

TEST(EvtxLog, EventsHandedOnAsTheyComeAreTheEventsOfTheLog) {
    TIDEWELL_REQUIRE_CORPUS(evtxFolder);
    const std::vector<std::uint8_t> bytes = logBytes(tchopper);
    for (bool recovering : {false, true}) {
        const EvtxLog whole = readEvtxLog(bytes, EventLogKind::Security, recovering);
        std::vector<EvtxEvent> received;
        int pieces = 0;
        const EvtxLog handedOn = readEvtxLog(bytes, EventLogKind::Security, recovering,
                                             [&](std::vector<EvtxEvent>& events) {
                                                 ++pieces;
                                                 for (EvtxEvent& event : events) {
                                                     received.push_back(std::move(event));
                                                 }
                                             });
        ASSERT_EQ(handedOn.open, EvtxOpen::Opened);
        EXPECT_TRUE(handedOn.events.empty()) << "each event is handed on once";
        EXPECT_GT(pieces, 4) << "a megabyte of starts comes in pieces";
        EXPECT_EQ(handedOn.records, whole.records);
        EXPECT_EQ(handedOn.recoverable, whole.recoverable);
        EXPECT_EQ(handedOn.oldest, whole.oldest);
        EXPECT_EQ(handedOn.newest, whole.newest);
        ASSERT_EQ(received.size(), whole.events.size());
        for (std::size_t at = 0; at < received.size(); ++at) {
            EXPECT_EQ(received[at].recordId, whole.events[at].recordId);
            EXPECT_EQ(received[at].xml, whole.events[at].xml);
        }
    }
}

void writeDrive(const std::filesystem::path& root) {
    sample::writeEvidenceFile(root, "Windows/System32/config/SOFTWARE",
                              sample::writeHive(sample::softwareHive({})));
    sample::writeEvidenceFile(root, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root, "Windows/Prefetch/.keep", {});
}

TEST(EventLogEvidence, ADrivesLogsGiveStartsCountedAndDescribed) {
    TIDEWELL_REQUIRE_CORPUS(evtxFolder);
    testing::TempFolder root;
    writeDrive(root.path);
    sample::writeEvidenceFile(root.path, "Windows/System32/winevt/Logs/Security.evtx",
                              logBytes(tchopper));
    sample::writeEvidenceFile(
        root.path, "Windows/System32/winevt/Logs/Microsoft-Windows-Sysmon%4Operational.evtx",
        logBytes(lsassy));
    const ScanResults results = testing::scanEvidence(root.path);
    const SourceReading reading = readingOf(results.origin, eventLogSource);
    EXPECT_EQ(reading.presence, SourcePresence::Read);
    EXPECT_NE(reading.note.find(L"Security: 735 records from 2021-11-03"), std::wstring::npos)
        << testing::narrow(reading.note);
    EXPECT_NE(reading.note.find(L"; Sysmon: 14 records"), std::wstring::npos);
    EXPECT_EQ(results.tally[eventLogStartsRead], 737u);
    EXPECT_EQ(results.tally[eventLogRecordsRead], 749u);
    EXPECT_EQ(results.tally[eventLogUnreadable], 0u);
    EXPECT_EQ(results.tally[eventLogRecoverableLeft], 75u + 47u);
    const std::vector<const LaunchRecord*> starts = testing::recordsOf(results, eventLogSource);
    ASSERT_EQ(starts.size(), 737u);
    const LaunchRecord* sysmonStart = nullptr;
    for (const LaunchRecord* record : starts) {
        if (eventLogDetails(*record)->start.log == EventLogKind::Sysmon) {
            sysmonStart = record;
        }
    }
    ASSERT_NE(sysmonStart, nullptr);
    DetailContext context;
    context.evidence = true;
    const std::wstring detail = buildDetailText(*sysmonStart, context);
    EXPECT_NE(detail.find(L"Event:             Sysmon event 1 (version 5)"), std::wstring::npos)
        << testing::narrow(detail);
    EXPECT_NE(detail.find(L"Parent:            "), std::wstring::npos);
}

TEST(EventLogEvidence, RecordsInFreeSpaceAreReadOnlyWhenAskedForAndNeverTwice) {
    TIDEWELL_REQUIRE_CORPUS(evtxFolder);
    testing::TempFolder root;
    writeDrive(root.path);
    sample::writeEvidenceFile(root.path, "Windows/System32/winevt/Logs/Security.evtx",
                              logBytes(tchopper));
    ScanTarget target{ScanSubject::EvidenceRoot, testing::programText(root.path)};
    target.recoverDeletedEvents = true;
    ScanResults results;
    runScan(target, results);
    const ScanResults plain = testing::scanEvidence(root.path);
    EXPECT_EQ(plain.tally[eventLogRecoverableLeft], 75u);
    EXPECT_EQ(plain.tally[eventLogRecoveredRead], 0u);
    EXPECT_EQ(results.tally[eventLogRecoverableLeft], 0u);
    // Every one of them is a copy of a listed record: none is given twice.
    EXPECT_EQ(results.tally[eventLogRecoveredRead], 0u);
    EXPECT_EQ(testing::recordsOf(results, eventLogSource).size(),
              testing::recordsOf(plain, eventLogSource).size());
}

TEST(EventLogEvidence, NoLogsAreNotPresentAndABrokenOneIsUnreadable) {
    testing::TempFolder none;
    writeDrive(none.path);
    const ScanResults without = testing::scanEvidence(none.path);
    EXPECT_EQ(readingOf(without.origin, eventLogSource).presence, SourcePresence::NotPresent);
    EXPECT_EQ(readingOf(without.origin, eventLogSource).note, L"");
    EXPECT_EQ(without.tally[eventLogUnreadable], 0u);

    testing::TempFolder broken;
    writeDrive(broken.path);
    sample::writeEvidenceFile(broken.path, "Windows/System32/winevt/Logs/Security.evtx",
                              std::vector<std::uint8_t>(8192, 0x11));
    const ScanResults notALog = testing::scanEvidence(broken.path);
    const SourceReading reading = readingOf(notALog.origin, eventLogSource);
    EXPECT_EQ(reading.presence, SourcePresence::Unreadable);
    EXPECT_EQ(reading.note.rfind(L"Security: could not be read (refused: ", 0), 0u)
        << testing::narrow(reading.note);
    EXPECT_EQ(notALog.tally[eventLogUnreadable], 1u);
    EXPECT_TRUE(notALog.anyFailure);
}

} // namespace
} // namespace tidewell
