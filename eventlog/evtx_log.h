// One event log file as read through libevtx: what the file says of itself
// (dirty, full), how many records it lists and how many of them could be
// read, the span of time the readable ones cover, and the XML of the events
// this source wants (process starts, and Security's clears). Records left in
// the file's free space are read only when asked for, and marked so.
#pragma once

#include <cstdint>
#include <functional>
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

// What is done with a log's events as the reading process hands them back,
// a few at a time and in the log's order, while it reads on.
using EvtxEventsReceiver = std::function<void(std::vector<EvtxEvent>& events)>;

// Reads a log file from its bytes (in a process of its own: the library
// cannot be vouched for on damaged files), the records in its free space
// too where recoverDeleted is set, after its records. Its events go to
// receive as they come, or without receive into the log's events. Events
// received belong to a log that was not read where the answer is not
// Opened.
EvtxLog readEvtxLog(const std::vector<std::uint8_t>& bytes, EventLogKind log, bool recoverDeleted,
                    const EvtxEventsReceiver& receive = {});

// How the reading process hands its answer back: its events in pieces as
// it reads them, then a piece of the log's figures (all but its events).
void writeEvtxEventsPiece(const std::vector<EvtxEvent>& events, std::vector<std::uint8_t>& piece);
void writeEvtxFiguresPiece(const EvtxLog& log, std::vector<std::uint8_t>& piece);

enum class EvtxPiece : std::uint8_t {
    Events,  // its events appended to events
    Figures, // the log's figures set, its events kept
    Unsound, // not a whole piece of either kind: nothing taken from it
};
EvtxPiece readEvtxPiece(ByteView piece, EvtxLog& log, std::vector<EvtxEvent>& events);

} // namespace tidewell
