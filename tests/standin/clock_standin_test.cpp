// The stand-in clock: real by default, fixed when a test says so.
#include "platform/system_clock.h"

#include <gtest/gtest.h>

#include "platform/standin/standin_control.h"

namespace tidewell {
namespace {

TEST(StandinClock, RealClockIsAfter2024AndFixedClockIsExact) {
    standin::resetAll();
    EXPECT_GT(currentSystemFileTime(), 133500000000000000ULL);
    standin::setFixedNow(42);
    EXPECT_EQ(currentSystemFileTime(), 42u);
    standin::useRealClock();
    EXPECT_GT(currentSystemFileTime(), 42u);
}

TEST(StandinClock, LocalConversionRefusesWhatWindowsRefuses) {
    standin::resetAll();
    LocalCalendar fields;
    EXPECT_FALSE(fileTimeToLocalCalendar(0x8000000000000000ULL, fields));
    standin::setLocalTimeFails(true);
    EXPECT_FALSE(fileTimeToLocalCalendar(133500000000000000ULL, fields));
    standin::resetAll();
    EXPECT_TRUE(fileTimeToLocalCalendar(133500000000000000ULL, fields));
}

} // namespace
} // namespace tidewell
