#include "srum/srum_table_stream.h"

#include <bit>
#include <cstring>
#include <iterator>

namespace tidewell {

namespace {

constexpr std::uint8_t streamMark[8] = {'S', 'R', 'U', 'M', 'R', 'O', 'W', '1'};

// At most this many entries of any list: more than the file's bytes could hold.
constexpr std::uint64_t mostEntries = 1ULL << 32;

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
    void date(double value) { u64(std::bit_cast<std::uint64_t>(value)); }
    void bytes(const std::vector<std::uint8_t>& value) {
        u32(static_cast<std::uint32_t>(value.size()));
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
    double date() { return std::bit_cast<double>(u64()); }
    void bytes(std::vector<std::uint8_t>& value) {
        const std::uint32_t size = u32();
        if (!sound || !in.contains(at, size)) {
            sound = false;
            return;
        }
        value.assign(in.data + at, in.data + at + size);
        at += size;
    }
    // A count of entries each at least minimum bytes long, checked against
    // what is left before anything is made of it.
    std::uint64_t count(std::uint64_t minimum) {
        const std::uint64_t entries = u64();
        if (!sound || entries > mostEntries || entries * minimum > in.size - at) {
            sound = false;
            return 0;
        }
        return entries;
    }
};

constexpr std::uint64_t idEntryBytes = 4 + 1 + 4;
constexpr std::uint64_t rowBytes = 8 + 4 + 4 + 8 + std::size(srumFigures) * 8;

} // namespace

void writeSrumTableStream(const SrumTables& tables, std::vector<std::uint8_t>& stream) {
    Writer out{stream};
    stream.insert(stream.end(), std::begin(streamMark), std::end(streamMark));
    out.u8(static_cast<std::uint8_t>(tables.open));
    out.u8(static_cast<std::uint8_t>((tables.headerSumMatched ? 1 : 0) |
                                     (tables.idMapPresent ? 2 : 0) | (tables.usagePresent ? 4 : 0) |
                                     (tables.networkPresent ? 8 : 0)));
    out.u32(tables.usageFiguresRecorded);
    out.u32(tables.networkFiguresRecorded);
    out.u64(tables.rowsUnreadable);
    out.u64(tables.tablesMalformed);
    out.u64(tables.why.size());
    for (wchar_t unit : tables.why) {
        out.u32(static_cast<std::uint32_t>(unit));
    }
    out.u64(tables.ids.size());
    for (const SrumIdEntry& entry : tables.ids) {
        out.u32(entry.index);
        out.u8(entry.type);
        out.bytes(entry.blob);
    }
    for (const std::vector<SrumRow>* rows : {&tables.usage, &tables.network}) {
        out.u64(rows->size());
        for (const SrumRow& row : *rows) {
            out.date(row.timeStamp);
            out.u32(row.appId);
            out.u32(row.userId);
            out.u64(row.interfaceLuid);
            for (const SrumFigure& figure : srumFigures) {
                out.u64(row.figures.*figure.member);
            }
        }
    }
}

bool readSrumTableStream(ByteView stream, SrumTables& tables) {
    if (!stream.contains(0, sizeof streamMark) ||
        std::memcmp(stream.data, streamMark, sizeof streamMark) != 0) {
        return false;
    }
    Reader in{stream, sizeof streamMark};
    const std::uint8_t open = in.u8();
    if (open > static_cast<std::uint8_t>(SrumOpen::NotThisBuild)) {
        return false;
    }
    tables.open = static_cast<SrumOpen>(open);
    const std::uint8_t flags = in.u8();
    tables.headerSumMatched = (flags & 1) != 0;
    tables.idMapPresent = (flags & 2) != 0;
    tables.usagePresent = (flags & 4) != 0;
    tables.networkPresent = (flags & 8) != 0;
    tables.usageFiguresRecorded = static_cast<std::uint16_t>(in.u32());
    tables.networkFiguresRecorded = static_cast<std::uint16_t>(in.u32());
    tables.rowsUnreadable = in.u64();
    tables.tablesMalformed = in.u64();
    for (std::uint64_t units = in.count(4); units != 0 && in.sound; --units) {
        tables.why.push_back(static_cast<wchar_t>(in.u32() & 0xffff));
    }
    for (std::uint64_t entries = in.count(idEntryBytes); entries != 0 && in.sound; --entries) {
        SrumIdEntry entry;
        entry.index = in.u32();
        entry.type = in.u8();
        in.bytes(entry.blob);
        tables.ids.push_back(std::move(entry));
    }
    for (std::vector<SrumRow>* rows : {&tables.usage, &tables.network}) {
        for (std::uint64_t left = in.count(rowBytes); left != 0 && in.sound; --left) {
            SrumRow row;
            row.timeStamp = in.date();
            row.appId = in.u32();
            row.userId = in.u32();
            row.interfaceLuid = in.u64();
            for (const SrumFigure& figure : srumFigures) {
                row.figures.*figure.member = in.u64();
            }
            rows->push_back(row);
        }
    }
    return in.sound && in.at == stream.size;
}

} // namespace tidewell
