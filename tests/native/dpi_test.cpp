// The DPI is asked of the screen once and kept.
#include "platform/dpi_scale.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace tidewell {
namespace {

TEST(DpiCache, TheScreenIsAskedOnFirstUseOnly) {
    fake::resetAll();
    forgetCurrentDpi();
    fake::setScreenDpi(144);
    EXPECT_EQ(scaleForDpi(100), 150);
    fake::setScreenDpi(192); // the run keeps the first answer
    EXPECT_EQ(scaleForDpi(100), 150);
    forgetCurrentDpi();
    EXPECT_EQ(scaleForDpi(100), 200);
    forgetCurrentDpi();
}

TEST(DpiCache, NoScreenOrANonsenseAnswerMeans96) {
    fake::resetAll();
    forgetCurrentDpi();
    EXPECT_EQ(currentDpi(), 96); // no screen
    forgetCurrentDpi();
    fake::setScreenDpi(-5);
    EXPECT_EQ(currentDpi(), 96);
    forgetCurrentDpi();
    fake::resetAll();
}

} // namespace
} // namespace tidewell
