// The DPI is asked of the screen once and kept.
#include "platform/dpi_scale.h"

#include <gtest/gtest.h>

#include "platform/standin/standin_control.h"

namespace tidewell {
namespace {

TEST(DpiCache, TheScreenIsAskedOnFirstUseOnly) {
    standin::resetAll();
    forgetCurrentDpi();
    standin::setScreenDpi(144);
    EXPECT_EQ(scaleForDpi(100), 150);
    standin::setScreenDpi(192); // the run keeps the first answer
    EXPECT_EQ(scaleForDpi(100), 150);
    forgetCurrentDpi();
    EXPECT_EQ(scaleForDpi(100), 200);
    forgetCurrentDpi();
}

TEST(DpiCache, NoScreenOrANonsenseAnswerMeans96) {
    standin::resetAll();
    forgetCurrentDpi();
    EXPECT_EQ(currentDpi(), 96); // no screen
    forgetCurrentDpi();
    standin::setScreenDpi(-5);
    EXPECT_EQ(currentDpi(), 96);
    forgetCurrentDpi();
    standin::resetAll();
}

} // namespace
} // namespace tidewell
