// The fake clock: real by default, fixed when a test says so.
#include "platform/system_clock.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace tidewell {
namespace {

TEST(HostClock, RealClockIsAfter2024AndFixedClockIsExact) {
    fake::resetAll();
    EXPECT_GT(currentSystemFileTime(), 133500000000000000ULL);
    fake::setFixedNow(42);
    EXPECT_EQ(currentSystemFileTime(), 42u);
    fake::useRealClock();
    EXPECT_GT(currentSystemFileTime(), 42u);
}

TEST(HostClock, LocalConversionRefusesWhatWindowsRefuses) {
    fake::resetAll();
    LocalCalendar fields;
    EXPECT_FALSE(fileTimeToLocalCalendar(0x8000000000000000ULL, fields));
    fake::setLocalTimeFails(true);
    EXPECT_FALSE(fileTimeToLocalCalendar(133500000000000000ULL, fields));
    fake::resetAll();
    EXPECT_TRUE(fileTimeToLocalCalendar(133500000000000000ULL, fields));
}

} // namespace
} // namespace tidewell
