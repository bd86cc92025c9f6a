// The window placed on its monitor: as large as asked where there is room,
// cut to the work area where there is not, and moved onto it.
#include "ui/window_fit.h"

#include <climits>

#include <gtest/gtest.h>

namespace tidewell {
namespace {

bool same(const LayoutRect& a, const LayoutRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(WindowFit, AWindowThatFitsStaysWhereItIs) {
    const LayoutRect work{0, 0, 1920, 1040};
    const LayoutRect wanted{100, 80, 1100, 660};
    EXPECT_TRUE(same(fitToWorkArea(wanted, work), wanted));
}

TEST(WindowFit, ThePaperSizeAt144DpiIsCutToA1280By800Desktop) {
    // 1100 by 660 at 150 %: 1650 by 990, on a work area above a 40-pixel taskbar.
    const LayoutRect fitted = fitToWorkArea({26, 26, 1650, 990}, {0, 0, 1280, 760});
    EXPECT_TRUE(same(fitted, {0, 0, 1280, 760}));
}

TEST(WindowFit, AWindowHangingOverAnEdgeIsMovedBackByNoMoreThanNeeded) {
    const LayoutRect work{0, 0, 1366, 728};
    EXPECT_TRUE(same(fitToWorkArea({700, 300, 900, 500}, work), {466, 228, 900, 500}));
    EXPECT_TRUE(same(fitToWorkArea({-50, -20, 900, 500}, work), {0, 0, 900, 500}));
}

TEST(WindowFit, ASecondMonitorsWorkAreaIsItsOwn) {
    // A monitor left of the primary one, its taskbar at the top.
    const LayoutRect work{-1280, 40, 1280, 984};
    EXPECT_TRUE(same(fitToWorkArea({-1400, 0, 1650, 990}, work), {-1280, 40, 1280, 984}));
    EXPECT_TRUE(same(fitToWorkArea({100, 100, 800, 600}, work), {-800, 100, 800, 600}))
        << "moved onto the monitor it belongs to";
}

TEST(WindowFit, NoSizeOrPlaceOverflows) {
    const LayoutRect fitted =
        fitToWorkArea({INT_MAX - 10, INT_MAX - 10, INT_MAX, INT_MAX}, {0, 0, 1024, 768});
    EXPECT_TRUE(same(fitted, {0, 0, 1024, 768}));
    const LayoutRect none = fitToWorkArea({10, 10, 800, 600}, {0, 0, -5, 0});
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.height, 0);
}

} // namespace
} // namespace tidewell
