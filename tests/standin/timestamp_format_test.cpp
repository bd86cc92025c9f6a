// Timestamps are shown in local time with the rules in force at the
// timestamp: a January run read in July keeps its winter hour.
#include "platform/timestamp_format.h"

#include <cstdlib>
#include <ctime>

#include <gtest/gtest.h>

#include "platform/standin/standin_control.h"

namespace tidewell {
namespace {

// Sets TZ for one test and puts the previous value back afterwards.
struct ScopedTimeZone {
    std::string previous;
    bool hadPrevious = false;

    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            previous = old;
            hadPrevious = true;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (hadPrevious) {
            setenv("TZ", previous.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
};

constexpr FileTime winterNoonUtc = 133497936000000000ULL; // 2024-01-15 12:00:00 UTC
constexpr FileTime summerNoonUtc = 133655184000000000ULL; // 2024-07-15 12:00:00 UTC

TEST(FormatTimestamp, UtcGivesTheCalendarFieldsAsStored) {
    standin::resetAll();
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(formatTimestamp(winterNoonUtc), L"2024-01-15 12:00:00");
    EXPECT_EQ(formatTimestamp(122756256000000000ULL), L"1990-01-01 00:00:00");
    EXPECT_EQ(formatTimestamp(0), L"1601-01-01 00:00:00");
}

TEST(FormatTimestamp, MillisecondsAreDroppedNotRounded) {
    standin::resetAll();
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(formatTimestamp(winterNoonUtc + 9999999), L"2024-01-15 12:00:00");
    EXPECT_EQ(formatTimestamp(winterNoonUtc + 10000000), L"2024-01-15 12:00:01");
}

TEST(FormatTimestamp, EachMomentGetsTheOffsetInForceAtThatMoment) {
    standin::resetAll();
    // Central Europe: +1 in winter, +2 in summer.
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(formatTimestamp(winterNoonUtc), L"2024-01-15 13:00:00");
    EXPECT_EQ(formatTimestamp(summerNoonUtc), L"2024-07-15 14:00:00");
}

TEST(FormatTimestamp, AFailedConversionGivesEmptyText) {
    standin::resetAll();
    EXPECT_EQ(formatTimestamp(0xFFFFFFFFFFFFFFFFULL), L"");
    standin::setLocalTimeFails(true);
    EXPECT_EQ(formatTimestamp(winterNoonUtc), L"");
    standin::resetAll();
}

} // namespace
} // namespace tidewell
