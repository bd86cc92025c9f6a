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

TEST(FormatTimestamp, AFailedConversionGivesEmptyText) {
    fake::resetAll();
    EXPECT_EQ(formatTimestamp(0xFFFFFFFFFFFFFFFFULL), L"");
    fake::setLocalTimeFails(true);
    EXPECT_EQ(formatTimestamp(winterNoonUtc), L"");
    fake::resetAll();
}

} // namespace
} // namespace tidewell
