// The stream in which the reading process hands the tables back: every
// field comes back as it went, and a stream cut short, padded or claiming
// more entries than it holds is refused before anything is made of it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "srum/srum_table_stream.h"

namespace tidewell {
namespace {

SrumTables everyField() {
    SrumTables tables;
    tables.open = SrumOpen::Opened;
    tables.headerSumMatched = true;
    tables.usagePresent = true;
    tables.networkPresent = true;
    tables.rowsUnreadable = 3;
    tables.tablesMalformed = 1;
    tables.why = L"x\u00e9";
    tables.ids = {{7, 3, {1, 2, 3}}, {0xffffffffu, 0, {}}};
    SrumRow usage;
    usage.timeStamp = 44597.25;
    usage.appId = 9;
    usage.userId = 7;
    std::uint64_t value = 1;
    for (const SrumFigure& figure : srumFigures) {
        usage.figures.*figure.member = value++;
    }
    usage.figures.backgroundWrites = UINT64_MAX;
    SrumRow notADate = usage;
    notADate.timeStamp = std::numeric_limits<double>::quiet_NaN();
    tables.usage = {usage, notADate};
    SrumRow network{-1.5, 1, 2, 0x1234567890ULL, {}};
    network.figures.bytesReceived = 6;
    tables.network = {network};
    return tables;
}

TEST(SrumTableStream, EveryFieldComesBackAsItWent) {
    const SrumTables sent = everyField();
    std::vector<std::uint8_t> stream;
    writeSrumTableStream(sent, stream);
    SrumTables got;
    ASSERT_TRUE(readSrumTableStream(ByteView{stream.data(), stream.size()}, got));
    EXPECT_EQ(got.open, SrumOpen::Opened);
    EXPECT_TRUE(got.headerSumMatched);
    EXPECT_FALSE(got.idMapPresent);
    EXPECT_TRUE(got.usagePresent);
    EXPECT_TRUE(got.networkPresent);
    EXPECT_EQ(got.rowsUnreadable, 3u);
    EXPECT_EQ(got.tablesMalformed, 1u);
    EXPECT_EQ(got.why, L"x\u00e9");
    ASSERT_EQ(got.ids.size(), 2u);
    EXPECT_EQ(got.ids[0].index, 7u);
    EXPECT_EQ(got.ids[0].type, 3u);
    EXPECT_EQ(got.ids[0].blob, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(got.ids[1].index, 0xffffffffu);
    ASSERT_EQ(got.usage.size(), 2u);
    const SrumRow& row = got.usage[0];
    EXPECT_EQ(row.timeStamp, 44597.25);
    EXPECT_EQ(row.appId, 9u);
    EXPECT_EQ(row.userId, 7u);
    EXPECT_EQ(row.figures.foregroundCycles, 1u);
    EXPECT_EQ(row.figures.faceTime, 3u);
    EXPECT_EQ(row.figures.foregroundWrites, 7u);
    EXPECT_EQ(row.figures.backgroundBytesRead, 8u);
    EXPECT_EQ(row.figures.backgroundWrites, UINT64_MAX);
    EXPECT_EQ(row.figures.bytesReceived, 13u);
    EXPECT_TRUE(std::isnan(got.usage[1].timeStamp)) << "a time that is no date goes as it is";
    ASSERT_EQ(got.network.size(), 1u);
    EXPECT_EQ(got.network[0].timeStamp, -1.5);
    EXPECT_EQ(got.network[0].interfaceLuid, 0x1234567890ULL);
    EXPECT_EQ(got.network[0].figures.bytesReceived, 6u);
    EXPECT_EQ(got.network[0].figures.bytesSent, 0u);
}

TEST(SrumTableStream, AStreamThatIsNotWholeIsRefused) {
    std::vector<std::uint8_t> stream;
    writeSrumTableStream(everyField(), stream);
    for (std::size_t cut = 0; cut < stream.size(); ++cut) {
        SrumTables got;
        ASSERT_FALSE(readSrumTableStream(ByteView{stream.data(), cut}, got)) << cut;
    }
    std::vector<std::uint8_t> padded = stream;
    padded.push_back(0);
    SrumTables got;
    EXPECT_FALSE(readSrumTableStream(ByteView{padded.data(), padded.size()}, got));

    // An empty answer, then one whose id count claims 2^40 entries.
    std::vector<std::uint8_t> empty;
    writeSrumTableStream(SrumTables{}, empty);
    SrumTables none;
    ASSERT_TRUE(readSrumTableStream(ByteView{empty.data(), empty.size()}, none));
    EXPECT_EQ(none.open, SrumOpen::Refused);
    const std::size_t idCount = 8 + 1 + 1 + 8 + 8 + 8; // mark, open, flags, counts, why
    ASSERT_LT(idCount + 8, empty.size() + 1);
    empty[idCount + 5] = 1;
    EXPECT_FALSE(readSrumTableStream(ByteView{empty.data(), empty.size()}, none));

    std::vector<std::uint8_t> wrongMark = stream;
    wrongMark[0] = 'X';
    EXPECT_FALSE(readSrumTableStream(ByteView{wrongMark.data(), wrongMark.size()}, none));
    std::vector<std::uint8_t> badOpen = stream;
    badOpen[8] = 9;
    EXPECT_FALSE(readSrumTableStream(ByteView{badOpen.data(), badOpen.size()}, none));
}

} // namespace
} // namespace tidewell
