#include "ui/window_fit.h"

#include <algorithm>

namespace tidewell {

namespace {

// One axis: a length no longer than the room, its start moved into it.
void fitAxis(int wantedStart, int wantedLength, int roomStart, int roomLength, int& start,
             int& length) {
    length = std::clamp(wantedLength, 0, std::max(roomLength, 0));
    // 64-bit sums: a position near INT_MAX must not wrap.
    const long long end = static_cast<long long>(wantedStart) + length;
    const long long roomEnd = static_cast<long long>(roomStart) + std::max(roomLength, 0);
    long long placed = wantedStart;
    if (end > roomEnd) {
        placed = roomEnd - length;
    }
    if (placed < roomStart) {
        placed = roomStart;
    }
    start = static_cast<int>(placed);
}

} // namespace

LayoutRect fitToWorkArea(const LayoutRect& wanted, const LayoutRect& workArea) {
    LayoutRect fitted;
    fitAxis(wanted.x, wanted.width, workArea.x, workArea.width, fitted.x, fitted.width);
    fitAxis(wanted.y, wanted.height, workArea.y, workArea.height, fitted.y, fitted.height);
    return fitted;
}

} // namespace tidewell
