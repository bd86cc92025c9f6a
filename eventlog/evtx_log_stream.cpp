#include <cstring>
#include <iterator>

#include "eventlog/evtx_log.h"

namespace tidewell {

namespace {

constexpr std::uint8_t streamMark[8] = {'E', 'V', 'T', 'X', 'L', 'O', 'G', '1'};

struct Writer {
    std::vector<std::uint8_t>& out;

    void u8(std::uint8_t value) { out.push_back(value); }
    void u32(std::uint32_t value) {
        for (int byte = 0; byte < 4; ++byte) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * byte)));
        }
    }
    void u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        u32(static_cast<std::uint32_t>(value >> 32));
    }
    void text(const std::string& value) {
        u64(value.size());
        out.insert(out.end(), value.begin(), value.end());
    }
};

struct Reader {
    ByteView in;
    std::uint64_t at = 0;
    bool sound = true;

    std::uint8_t u8() {
        if (!in.contains(at, 1)) {
            sound = false;
            return 0;
        }
        return in.data[at++];
    }
    std::uint32_t u32() {
        std::uint32_t value = 0;
        sound = sound && in.readU32(at, value);
        at += 4;
        return sound ? value : 0;
    }
    std::uint64_t u64() {
        std::uint64_t value = 0;
        sound = sound && in.readU64(at, value);
        at += 8;
        return sound ? value : 0;
    }
    // A length checked against what is left, each entry at least minimum bytes.
    std::uint64_t count(std::uint64_t minimum) {
        const std::uint64_t entries = u64();
        if (!sound || (minimum != 0 && entries > (in.size - at) / minimum)) {
            sound = false;
            return 0;
        }
        return entries;
    }
    void text(std::string& value) {
        const std::uint64_t size = count(1);
        if (!sound) {
            return;
        }
        value.assign(reinterpret_cast<const char*>(in.data + at), static_cast<std::size_t>(size));
        at += size;
    }
};

constexpr std::uint64_t eventBytes = 8 + 8 + 4 + 1 + 8;

} // namespace

void writeEvtxLogStream(const EvtxLog& log, std::vector<std::uint8_t>& stream) {
    std::size_t texts = 0;
    for (const EvtxEvent& event : log.events) {
        texts += event.xml.size();
    }
    stream.reserve(stream.size() + 256 + 4 * log.why.size() + log.events.size() * (eventBytes + 8) +
                   texts);
    Writer out{stream};
    stream.insert(stream.end(), std::begin(streamMark), std::end(streamMark));
    out.u8(static_cast<std::uint8_t>(log.open));
    out.u8(static_cast<std::uint8_t>((log.dirty ? 1 : 0) | (log.full ? 2 : 0)));
    out.u64(log.why.size());
    for (wchar_t unit : log.why) {
        out.u32(static_cast<std::uint32_t>(unit));
    }
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
        out.text(event.xml);
    }
}

bool readEvtxLogStream(ByteView stream, EvtxLog& log) {
    if (!stream.contains(0, sizeof streamMark) ||
        std::memcmp(stream.data, streamMark, sizeof streamMark) != 0) {
        return false;
    }
    Reader in{stream, sizeof streamMark};
    const std::uint8_t open = in.u8();
    if (open > static_cast<std::uint8_t>(EvtxOpen::NotThisBuild)) {
        return false;
    }
    log.open = static_cast<EvtxOpen>(open);
    const std::uint8_t flags = in.u8();
    log.dirty = (flags & 1) != 0;
    log.full = (flags & 2) != 0;
    for (std::uint64_t units = in.count(4); units != 0 && in.sound; --units) {
        log.why.push_back(static_cast<wchar_t>(in.u32() & 0xffff));
    }
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
        in.text(event.xml);
        if (in.sound) {
            log.events.push_back(std::move(event));
        }
    }
    return in.sound && in.at == stream.size;
}

bool eventWanted(EventLogKind log, std::uint32_t eventId) {
    return log == EventLogKind::Security
               ? eventId == securityProcessCreated || eventId == securityLogCleared
               : eventId == sysmonProcessCreate;
}

} // namespace tidewell
