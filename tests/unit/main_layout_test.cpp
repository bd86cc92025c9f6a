// The main window's layout arithmetic.
#include "ui/main_layout.h"

#include <gtest/gtest.h>

#include "platform/dpi_scale.h"

namespace tidewell {
namespace {

TEST(MainLayout, TheBannerPushesTheFilterRowAndTheListDown) {
    setCurrentDpi(96);
    MainLayout layout = computeMainLayout(1000, 600, 22, 40, scaleForDpi);
    EXPECT_EQ(layout.banner.height, 50); // 10 + 40
    EXPECT_EQ(layout.filterLabel.x, 6);
    EXPECT_EQ(layout.filterLabel.y, 56);
    EXPECT_EQ(layout.filterLabel.width, 44);
    EXPECT_EQ(layout.filterLabel.height, 24);
    EXPECT_EQ(layout.filterEdit.x, 54);
    EXPECT_EQ(layout.filterEdit.width, 280);
    EXPECT_EQ(layout.list.y, 50 + 12 + 26);
    EXPECT_EQ(layout.list.height, 600 - 88 - 22);
    EXPECT_EQ(layout.list.width, 1000);
    EXPECT_EQ(layout.statusPartEdges, (std::array<int, 4>{180, 570, 860, -1}));
    EXPECT_EQ(bannerTextWidth(1000, scaleForDpi), 986);
    forgetCurrentDpi();
}

TEST(MainLayout, ShortTextOrNoMeasureKeepsTheMinimumAndTheListNeverGoesNegative) {
    setCurrentDpi(96);
    EXPECT_EQ(computeMainLayout(800, 600, 22, 10, scaleForDpi).banner.height, 38);
    EXPECT_EQ(computeMainLayout(800, 600, 22, -1, scaleForDpi).banner.height, 38);
    EXPECT_EQ(computeMainLayout(800, 50, 22, 200, scaleForDpi).list.height, 0);
    // Each length is scaled on its own: at 120 DPI the row is S(26) - S(2).
    setCurrentDpi(120);
    const MainLayout scaled = computeMainLayout(800, 600, 22, -1, scaleForDpi);
    EXPECT_EQ(scaled.filterLabel.height, 33 - 3);
    EXPECT_EQ(scaled.banner.height, 48); // 47.5 rounds up
    forgetCurrentDpi();
}

} // namespace
} // namespace tidewell
