// Our portable MulDiv against the real one.
#include "platform/dpi_scale.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(MulDivWin32, AgreesWithKernel32OverAGridOfValues) {
    const int values[] = {0,  1,  -1,  2,   -2,  3,    -3,    7,          -7,          95,
                          96, 97, 144, 192, 200, 1100, -1100, 2147483647, -2147483647, 65536};
    const int divisors[] = {96, 1, -1, 2, -2, 3, 7, 0, 65536, -96};
    for (int a : values) {
        for (int b : values) {
            for (int c : divisors) {
                EXPECT_EQ(mulDiv(a, b, c), MulDiv(a, b, c)) << a << " * " << b << " / " << c;
            }
        }
    }
}

} // namespace
} // namespace tidewell
