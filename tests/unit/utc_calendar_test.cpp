// FILETIME values as UTC by arithmetic alone: the calendar's edges (leap
// days, centuries, the epochs), the digits of the fraction, and the values
// no reader could take.
#include "platform/utc_calendar.h"

#include <gtest/gtest.h>

#include "platform/timestamp_format.h"

namespace tidewell {
namespace {

constexpr FileTime unixEpoch = 116444736000000000ULL;

TEST(UtcCalendar, TheEpochsAndTheCalendarsEdges) {
    EXPECT_EQ(isoUtcText(0), L"1601-01-01T00:00:00.0000000Z");
    EXPECT_EQ(isoUtcText(unixEpoch), L"1970-01-01T00:00:00.0000000Z");
    EXPECT_EQ(isoUtcText(unixEpoch - 1), L"1969-12-31T23:59:59.9999999Z");
    EXPECT_EQ(isoUtcText(133537247990000000ULL), L"2024-02-29T23:59:59.0000000Z");
    EXPECT_EQ(isoUtcText(133537248000000000ULL), L"2024-03-01T00:00:00.0000000Z");
    // 2000 is a leap year, 1900 and 2100 are not.
    EXPECT_EQ(isoUtcText(125962560000000000ULL), L"2000-02-29T00:00:00.0000000Z");
    EXPECT_EQ(isoUtcText(94670208000000000ULL), L"1901-01-01T00:00:00.0000000Z");
    EXPECT_EQ(isoUtcText(157520160000000000ULL), L"2100-03-01T00:00:00.0000000Z");
    EXPECT_EQ(isoUtcText(2650467743999999999ULL), L"9999-12-31T23:59:59.9999999Z");
}

TEST(UtcCalendar, TheFractionIsTruncatedNeverRounded) {
    constexpr FileTime moment = 133553583001234567ULL; // 2024-03-19 ...00.1234567
    EXPECT_EQ(isoUtcText(moment), L"2024-03-19T21:45:00.1234567Z");
    EXPECT_EQ(isoUtcMicrosecondsText(moment), L"2024-03-19T21:45:00.123456+00:00");
    EXPECT_EQ(isoUtcMicrosecondsText(moment + 9), L"2024-03-19T21:45:00.123457+00:00");
    EXPECT_EQ(formatTimestamp(moment + 8765432, TimeBasis::Utc), L"2024-03-19 21:45:00");
}

TEST(UtcCalendar, ValuesNoReaderCouldTakeGiveNoText) {
    EXPECT_EQ(isoUtcText(2650467744000000000ULL), L"") << "the year 10000";
    EXPECT_EQ(isoUtcMicrosecondsText(2650467744000000000ULL), L"");
    EXPECT_EQ(isoUtcText(0x8000000000000000ULL), L"") << "Windows refuses the top bit too";
    LocalCalendar fields;
    EXPECT_FALSE(fileTimeToUtcCalendar(0xFFFFFFFFFFFFFFFFULL, fields));
    // Windows' own limit, not ISO's: the last value is still a calendar date.
    ASSERT_TRUE(fileTimeToUtcCalendar(0x7FFFFFFFFFFFFFFFULL, fields));
    EXPECT_EQ(fields.year, 30828);
    EXPECT_EQ(fields.month, 9);
    EXPECT_EQ(fields.day, 14);
    EXPECT_EQ(formatTimestamp(0x7FFFFFFFFFFFFFFFULL, TimeBasis::Utc), L"30828-09-14 02:48:05");
}

TEST(UtcCalendar, MicrosecondsSinceNineteenSeventyRoundDown) {
    EXPECT_EQ(unixMicroseconds(unixEpoch), 0);
    EXPECT_EQ(unixMicroseconds(unixEpoch + 15), 1);
    EXPECT_EQ(unixMicroseconds(unixEpoch - 1), -1) << "towards the past, as the text says";
    EXPECT_EQ(unixMicroseconds(0), -11644473600000000LL);
    EXPECT_EQ(unixMicroseconds(133553583001234567ULL), 1710884700123456LL);
}

TEST(UtcText, TheEventLogsAndPcaFormsToTheHundredNanosecondAndNothingElse) {
    FileTime time = 0;
    ASSERT_TRUE(parseUtcText("2017-12-26 13:10:29.134", time)); // Sysmon's UtcTime, and PCA's
    EXPECT_EQ(time, 131587674291340000ULL);
    ASSERT_TRUE(parseUtcText("2017-12-26T13:10:29Z", time));
    EXPECT_EQ(time, 131587674290000000ULL);
    ASSERT_TRUE(parseUtcText("2017-12-26T13:10:29.999999999Z", time)); // past 100 ns: cut
    EXPECT_EQ(time, 131587674299999999ULL);
    for (const char* wrong :
         {"", "2017-12-26", "2017-13-26T13:10:29Z", "2017-02-30 13:10:29", "2017-12-26T24:00:00Z",
          "2017-12-26T13:10:29.Z", "2017-12-26T13:10:29.1234567890Z", "2017-12-26T13:10:29+01:00",
          "２017-12-26T13:10:29Z", "1600-12-31T23:59:59Z"}) {
        EXPECT_FALSE(parseUtcText(wrong, time)) << wrong;
    }
}

} // namespace
} // namespace tidewell
