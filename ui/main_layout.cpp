#include "ui/main_layout.h"

#include <algorithm>

namespace tidewell {

int bannerTextWidth(int clientWidth, int (*scale)(int)) {
    return clientWidth - scale(14);
}

MainLayout computeMainLayout(int clientWidth, int clientHeight, int statusBarHeight,
                             int measuredTextHeight, int (*scale)(int)) {
    MainLayout layout;
    const int bannerHeight =
        measuredTextHeight < 0 ? scale(38) : std::max(scale(38), scale(10) + measuredTextHeight);
    layout.banner = {0, 0, clientWidth, bannerHeight};
    // Each length is scaled on its own, so S(26) - S(2) need not be S(24).
    const int rowTop = bannerHeight + scale(6);
    const int rowHeight = scale(26) - scale(2);
    layout.filterLabel = {scale(6), rowTop, scale(44), rowHeight};
    layout.filterEdit = {scale(6) + scale(48), rowTop, scale(280), rowHeight};
    const int listTop = bannerHeight + 2 * scale(6) + scale(26);
    layout.list = {0, listTop, clientWidth, std::max(0, clientHeight - listTop - statusBarHeight)};
    layout.statusPartEdges = {scale(180), clientWidth - scale(430), clientWidth - scale(140), -1};
    return layout;
}

} // namespace tidewell
