#include "srum/srum_table_stream.h"

#include "platform/answer_stream.h"

#include <bit>
#include <cstring>
#include <iterator>

namespace tidewell {

namespace {

constexpr std::uint8_t streamMark[8] = {'S', 'R', 'U', 'M', 'R', 'O', 'W', '1'};

constexpr std::uint64_t idEntryBytes = 4 + 1 + 8;
constexpr std::uint64_t rowBytes = 8 + 4 + 4 + 8 + std::size(srumFigures) * 8;

} // namespace

void writeSrumTableStream(const SrumTables& tables, std::vector<std::uint8_t>& stream) {
    AnswerWriter out{stream};
    stream.insert(stream.end(), std::begin(streamMark), std::end(streamMark));
    out.u8(static_cast<std::uint8_t>(tables.open));
    out.u8(static_cast<std::uint8_t>((tables.headerSumMatched ? 1 : 0) |
                                     (tables.idMapPresent ? 2 : 0) | (tables.usagePresent ? 4 : 0) |
                                     (tables.networkPresent ? 8 : 0)));
    out.u32(tables.usageFiguresRecorded);
    out.u32(tables.networkFiguresRecorded);
    out.u64(tables.rowsUnreadable);
    out.u64(tables.tablesMalformed);
    out.text(tables.why);
    out.u64(tables.ids.size());
    for (const SrumIdEntry& entry : tables.ids) {
        out.u32(entry.index);
        out.u8(entry.type);
        out.bytes(entry.blob);
    }
    for (const std::vector<SrumRow>* rows : {&tables.usage, &tables.network}) {
        out.u64(rows->size());
        for (const SrumRow& row : *rows) {
            out.u64(std::bit_cast<std::uint64_t>(row.timeStamp));
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
    AnswerReader in{stream, sizeof streamMark};
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
    in.text(tables.why);
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
            row.timeStamp = std::bit_cast<double>(in.u64());
            row.appId = in.u32();
            row.userId = in.u32();
            row.interfaceLuid = in.u64();
            for (const SrumFigure& figure : srumFigures) {
                row.figures.*figure.member = in.u64();
            }
            rows->push_back(row);
        }
    }
    return in.whole();
}

} // namespace tidewell
