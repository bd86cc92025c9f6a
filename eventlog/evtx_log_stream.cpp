#include <cstring>
#include <iterator>

#include "eventlog/evtx_log.h"
#include "platform/answer_stream.h"

namespace tidewell {

namespace {

constexpr std::uint8_t eventsMark[8] = {'E', 'V', 'T', 'X', 'E', 'V', 'T', '1'};
constexpr std::uint8_t figuresMark[8] = {'E', 'V', 'T', 'X', 'L', 'O', 'G', '2'};

constexpr std::uint64_t eventBytes = 8 + 8 + 4 + 1 + 8;

bool marked(ByteView piece, const std::uint8_t (&mark)[8]) {
    return piece.contains(0, sizeof mark) && std::memcmp(piece.data, mark, sizeof mark) == 0;
}

} // namespace

void writeEvtxEventsPiece(const std::vector<EvtxEvent>& events, std::vector<std::uint8_t>& piece) {
    std::size_t texts = 0;
    for (const EvtxEvent& event : events) {
        texts += event.xml.size();
    }
    piece.reserve(piece.size() + sizeof eventsMark + 8 + events.size() * eventBytes + texts);
    AnswerWriter out{piece};
    piece.insert(piece.end(), std::begin(eventsMark), std::end(eventsMark));
    out.u64(events.size());
    for (const EvtxEvent& event : events) {
        out.u64(event.recordId);
        out.u64(event.writtenTime);
        out.u32(event.eventId);
        out.u8(event.recovered ? 1 : 0);
        out.bytes(event.xml);
    }
}

void writeEvtxFiguresPiece(const EvtxLog& log, std::vector<std::uint8_t>& piece) {
    AnswerWriter out{piece};
    piece.insert(piece.end(), std::begin(figuresMark), std::end(figuresMark));
    out.u8(static_cast<std::uint8_t>(log.open));
    out.u8(static_cast<std::uint8_t>((log.dirty ? 1 : 0) | (log.full ? 2 : 0)));
    out.text(log.why);
    for (std::uint64_t figure :
         {log.records, log.recordsUnreadable, log.recoverable, log.recoveredRead,
          log.recoveredUnreadable, log.oldest, log.newest}) {
        out.u64(figure);
    }
}

EvtxPiece readEvtxPiece(ByteView piece, EvtxLog& log, std::vector<EvtxEvent>& events) {
    if (marked(piece, eventsMark)) {
        AnswerReader in{piece, sizeof eventsMark};
        const std::size_t before = events.size();
        for (std::uint64_t left = in.count(eventBytes); left != 0 && in.sound; --left) {
            EvtxEvent event;
            event.recordId = in.u64();
            event.writtenTime = in.u64();
            event.eventId = in.u32();
            event.recovered = in.u8() != 0;
            in.bytes(event.xml);
            if (in.sound) {
                events.push_back(std::move(event));
            }
        }
        if (in.whole()) {
            return EvtxPiece::Events;
        }
        events.resize(before);
        return EvtxPiece::Unsound;
    }
    if (!marked(piece, figuresMark)) {
        return EvtxPiece::Unsound;
    }
    AnswerReader in{piece, sizeof figuresMark};
    EvtxLog figures;
    const std::uint8_t open = in.u8();
    if (open > static_cast<std::uint8_t>(EvtxOpen::NotThisBuild)) {
        return EvtxPiece::Unsound;
    }
    figures.open = static_cast<EvtxOpen>(open);
    const std::uint8_t flags = in.u8();
    figures.dirty = (flags & 1) != 0;
    figures.full = (flags & 2) != 0;
    in.text(figures.why);
    for (std::uint64_t* figure :
         {&figures.records, &figures.recordsUnreadable, &figures.recoverable,
          &figures.recoveredRead, &figures.recoveredUnreadable, &figures.oldest, &figures.newest}) {
        *figure = in.u64();
    }
    if (!in.whole()) {
        return EvtxPiece::Unsound;
    }
    figures.events = std::move(log.events);
    log = std::move(figures);
    return EvtxPiece::Figures;
}

bool eventWanted(EventLogKind log, std::uint32_t eventId) {
    return log == EventLogKind::Security
               ? eventId == securityProcessCreated || eventId == securityLogCleared
               : eventId == sysmonProcessCreate;
}

} // namespace tidewell
