// One event log file as read through libevtx: what the file says of itself
// (dirty, full), how many records it lists and how many of them could be
// read, the span of time the readable ones cover, and the XML of the events
// this source wants (process starts, and Security's clears). Records left in
// the file's free space are read only when asked for, and marked so.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "eventlog/process_start.h"
#include "platform/byte_reader.h"
#include "platform/filetime.h"

namespace tidewell {

enum class EvtxOpen : std::uint8_t {
    Opened,
    Refused,      // the library refused the file, or its reading ended without an answer
    NotThisBuild, // this build carries no event log reader
};

struct EvtxEvent {
    std::uint64_t recordId = 0;
    FileTime writtenTime = 0;
    std::uint32_t eventId = 0;
    bool recovered = false; // read from the file's free space
    std::string xml;        // UTF-8
};

struct EvtxLog {
    EvtxOpen open = EvtxOpen::Refused;
    std::wstring why; // why it was refused
    bool dirty = false;
    bool full = false;
    std::uint64_t records = 0;           // records the file lists
    std::uint64_t recordsUnreadable = 0; // of those, records the library could not read
    std::uint64_t recoverable = 0;       // records in its free space
    std::uint64_t recoveredRead = 0;     // of those, read (when asked for) and not still listed
    std::uint64_t recoveredUnreadable = 0;
    FileTime oldest = 0; // the written times of its readable records; 0: none
    FileTime newest = 0;
    std::vector<EvtxEvent> events;
};

// The event identifiers of a log whose XML is wanted.
bool eventWanted(EventLogKind log, std::uint32_t eventId);

// Reads a log file from its bytes (in a process of its own: the library
// cannot be vouched for on damaged files), the records in its free space
// too where recoverDeleted is set.
EvtxLog readEvtxLog(const std::vector<std::uint8_t>& bytes, EventLogKind log, bool recoverDeleted);

// How the reading process hands its answer back.
void writeEvtxLogStream(const EvtxLog& log, std::vector<std::uint8_t>& stream);
// False for a stream that is not whole; the log is then as far as it went.
bool readEvtxLogStream(ByteView stream, EvtxLog& log);

} // namespace tidewell
