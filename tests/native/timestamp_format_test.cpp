// Timestamps are shown in local time with the rules in force at the
// timestamp: a January run read in July keeps its winter hour.
#include "platform/timestamp_format.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "support/scoped_time_zone.h"

namespace tidewell {
namespace {

using testing::ScopedTimeZone;

constexpr FileTime winterNoonUtc = 133497936000000000ULL; // 2024-01-15 12:00:00 UTC
constexpr FileTime summerNoonUtc = 133655184000000000ULL; // 2024-07-15 12:00:00 UTC

TEST(FormatTimestamp, UtcGivesTheCalendarFieldsAsStored) {
    fake::resetAll();
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(formatTimestamp(winterNoonUtc), L"2024-01-15 12:00:00");
    EXPECT_EQ(formatTimestamp(122756256000000000ULL), L"1990-01-01 00:00:00");
    EXPECT_EQ(formatTimestamp(0), L"1601-01-01 00:00:00");
}

TEST(FormatTimestamp, MillisecondsAreDroppedNotRounded) {
    fake::resetAll();
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(formatTimestamp(winterNoonUtc + 9999999), L"2024-01-15 12:00:00");
    EXPECT_EQ(formatTimestamp(winterNoonUtc + 10000000), L"2024-01-15 12:00:01");
}

TEST(FormatTimestamp, EachMomentGetsTheOffsetInForceAtThatMoment) {
    fake::resetAll();
    // Central Europe: +1 in winter, +2 in summer.
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(formatTimestamp(winterNoonUtc), L"2024-01-15 13:00:00");
    EXPECT_EQ(formatTimestamp(summerNoonUtc), L"2024-07-15 14:00:00");
}

TEST(FormatTimestamp, UtcIgnoresTheZoneOnBothSidesOfEveryChange) {
    fake::resetAll();
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    // Half an hour before and after each 2024 change, in UTC.
    constexpr FileTime springBefore = 133563186000000000ULL; // 00:30
    constexpr FileTime springAfter = 133563222000000000ULL;  // 01:30
    constexpr FileTime autumnBefore = 133744626000000000ULL; // 00:30
    constexpr FileTime autumnAfter = 133744662000000000ULL;  // 01:30
    EXPECT_EQ(formatTimestamp(springBefore), L"2024-03-31 01:30:00");
    EXPECT_EQ(formatTimestamp(springAfter), L"2024-03-31 03:30:00");
    EXPECT_EQ(formatTimestamp(springBefore, TimeBasis::Utc), L"2024-03-31 00:30:00");
    EXPECT_EQ(formatTimestamp(springAfter, TimeBasis::Utc), L"2024-03-31 01:30:00");
    // In autumn the local clock shows the same hour twice; UTC never does.
    EXPECT_EQ(formatTimestamp(autumnBefore), L"2024-10-27 02:30:00");
    EXPECT_EQ(formatTimestamp(autumnAfter), L"2024-10-27 02:30:00");
    EXPECT_EQ(formatTimestamp(autumnBefore, TimeBasis::Utc), L"2024-10-27 00:30:00");
    EXPECT_EQ(formatTimestamp(autumnAfter, TimeBasis::Utc), L"2024-10-27 01:30:00");
    // UTC needs nothing of the machine's zone conversion.
    fake::setLocalTimeFails(true);
    EXPECT_EQ(formatTimestamp(springAfter), L"");
    EXPECT_EQ(formatTimestamp(springAfter, TimeBasis::Utc), L"2024-03-31 01:30:00");
    fake::resetAll();
}

TEST(FormatTimestamp, AFailedConversionGivesEmptyText) {
    fake::resetAll();
    EXPECT_EQ(formatTimestamp(0xFFFFFFFFFFFFFFFFULL), L"");
    fake::setLocalTimeFails(true);
    EXPECT_EQ(formatTimestamp(winterNoonUtc), L"");
    fake::resetAll();
}

} // namespace
} // namespace tidewell
