// Where the main window's controls go for a client size: the banner across
// the top (as tall as its wrapped text), the filter row, the list, and the
// status bar's four parts. Lengths are at 96 DPI and pass through scale.
#pragma once

#include <array>

namespace tidewell {

struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct MainLayout {
    LayoutRect banner;
    LayoutRect filterLabel;
    LayoutRect filterEdit;
    LayoutRect list;
    std::array<int, 4> statusPartEdges{}; // right edges; -1 reaches the window's edge
};

// The width the banner's text is wrapped to.
int bannerTextWidth(int clientWidth, int (*scale)(int));

// measuredTextHeight: the height the banner's wrapped text needs, or a
// negative number when it could not be measured (or the text is empty).
MainLayout computeMainLayout(int clientWidth, int clientHeight, int statusBarHeight,
                             int measuredTextHeight, int (*scale)(int));

} // namespace tidewell
