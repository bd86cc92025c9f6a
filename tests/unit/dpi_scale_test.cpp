// Lengths given at 96 DPI become pixels, rounded the way MulDiv rounds.
#include "platform/dpi_scale.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(mulDiv(3, 1, 2), 2);
    EXPECT_EQ(mulDiv(-3, 1, 2), -2);
    EXPECT_EQ(mulDiv(3, -1, 2), -2);
    EXPECT_EQ(mulDiv(3, 1, -2), -2);
    EXPECT_EQ(mulDiv(-3, -1, -2), -2);
    EXPECT_EQ(mulDiv(5, 1, 3), 2); // 1.67
    EXPECT_EQ(mulDiv(4, 1, 3), 1); // 1.33
    EXPECT_EQ(mulDiv(0, -7, 3), 0);
}

TEST(MulDiv, ZeroDivisorAndOverflowGiveMinusOne) {
    EXPECT_EQ(mulDiv(10, 10, 0), -1);
    EXPECT_EQ(mulDiv(2147483647, 2, 1), -1);
    EXPECT_EQ(mulDiv(2147483647, 2, 2), 2147483647);
    // The product needs 64 bits even when the result fits.
    EXPECT_EQ(mulDiv(2000000000, 3, 4), 1500000000);
}

TEST(ScaleForDpi, UsesTheDpiInUse) {
    setCurrentDpi(96);
    EXPECT_EQ(scaleForDpi(1100), 1100);
    setCurrentDpi(144);
    EXPECT_EQ(scaleForDpi(1100), 1650);
    EXPECT_EQ(scaleForDpi(7), 11); // 10.5 rounds up
    setCurrentDpi(120);
    EXPECT_EQ(scaleForDpi(26), 33); // 32.5 rounds up
    EXPECT_EQ(scaleForDpi(2), 3);   // 2.5 rounds up
    setCurrentDpi(0);               // nonsense falls back to 96
    EXPECT_EQ(currentDpi(), 96);
    forgetCurrentDpi();
}

} // namespace
} // namespace tidewell
