#include "platform/possible_date.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

constexpr FileTime now = 133616736000000000ULL; // 2024-06-01 00:00:00 UTC

TEST(PossibleDate, BothBoundsAreIncluded) {
    EXPECT_TRUE(isPossibleDate(122756256000000000ULL, now));      // 1990-01-01 00:00:00
    EXPECT_FALSE(isPossibleDate(122756256000000000ULL - 1, now)); // one tick earlier
    EXPECT_TRUE(isPossibleDate(now + 864000000000ULL, now));      // one day ahead
    EXPECT_FALSE(isPossibleDate(now + 864000000000ULL + 1, now));
}

TEST(PossibleDate, ZeroAndExtremesAreNotDates) {
    EXPECT_FALSE(isPossibleDate(0, now));
    EXPECT_FALSE(isPossibleDate(1, now));
    EXPECT_FALSE(isPossibleDate(~FileTime{0}, now));
    // A clock at the very end of the range must not wrap the upper bound.
    EXPECT_TRUE(isPossibleDate(~FileTime{0}, ~FileTime{0} - 5));
    EXPECT_TRUE(isPossibleDate(now, now));
}

} // namespace
} // namespace tidewell
