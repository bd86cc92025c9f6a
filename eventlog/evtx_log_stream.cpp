#include <cstring>
#include <iterator>

#include "eventlog/evtx_log.h"
#include "platform/answer_stream.h"

namespace tidewell {

namespace {

constexpr std::uint8_t streamMark[8] = {'E', 'V', 'T', 'X', 'L', 'O', 'G', '1'};

constexpr std::uint64_t eventBytes = 8 + 8 + 4 + 1 + 8;

} // namespace

void writeEvtxLogStream(const EvtxLog& log, std::vector<std::uint8_t>& stream) {
    std::size_t texts = 0;
    for (const EvtxEvent& event : log.events) {
        texts += event.xml.size();
    }
    stream.reserve(stream.size() + 256 + 4 * log.why.size() + log.events.size() * (eventBytes + 8) +
                   texts);
    AnswerWriter out{stream};
    stream.insert(stream.end(), std::begin(streamMark), std::end(streamMark));
    out.u8(static_cast<std::uint8_t>(log.open));
    out.u8(static_cast<std::uint8_t>((log.dirty ? 1 : 0) | (log.full ? 2 : 0)));
    out.text(log.why);
    for (std::uint64_t figure :
         {log.records, log.recordsUnreadable, log.recoverable, log.recoveredRead,
          log.recoveredUnreadable, log.oldest, log.newest}) {
        out.u64(figure);
    }
    out.u64(log.events.size());
    for (const EvtxEvent& event : log.events) {
        out.u64(event.recordId);
        out.u64(event.writtenTime);
        out.u32(event.eventId);
        out.u8(event.recovered ? 1 : 0);
        out.bytes(event.xml);
    }
}

bool readEvtxLogStream(ByteView stream, EvtxLog& log) {
    if (!stream.contains(0, sizeof streamMark) ||
        std::memcmp(stream.data, streamMark, sizeof streamMark) != 0) {
        return false;
    }
    AnswerReader in{stream, sizeof streamMark};
    const std::uint8_t open = in.u8();
    if (open > static_cast<std::uint8_t>(EvtxOpen::NotThisBuild)) {
        return false;
    }
    log.open = static_cast<EvtxOpen>(open);
    const std::uint8_t flags = in.u8();
    log.dirty = (flags & 1) != 0;
    log.full = (flags & 2) != 0;
    in.text(log.why);
    for (std::uint64_t* figure :
         {&log.records, &log.recordsUnreadable, &log.recoverable, &log.recoveredRead,
          &log.recoveredUnreadable, &log.oldest, &log.newest}) {
        *figure = in.u64();
    }
    for (std::uint64_t left = in.count(eventBytes); left != 0 && in.sound; --left) {
        EvtxEvent event;
        event.recordId = in.u64();
        event.writtenTime = in.u64();
        event.eventId = in.u32();
        event.recovered = in.u8() != 0;
        in.bytes(event.xml);
        if (in.sound) {
            log.events.push_back(std::move(event));
        }
    }
    return in.whole();
}

bool eventWanted(EventLogKind log, std::uint32_t eventId) {
    return log == EventLogKind::Security
               ? eventId == securityProcessCreated || eventId == securityLogCleared
               : eventId == sysmonProcessCreate;
}

} // namespace tidewell
