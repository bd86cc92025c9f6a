// Where a window opens so that all of it is on the screen: no larger than
// the work area of its monitor (the screen less the taskbar), and moved
// into it. Pure arithmetic, so that it is the same under every test.
#pragma once

#include "ui/main_layout.h"

namespace tidewell {

// wanted: the window's rectangle as it would open (position and size);
// workArea: the monitor's work area. The result has wanted's size cut to the
// work area's, placed where wanted was but moved as little as needed to lie
// inside the work area.
LayoutRect fitToWorkArea(const LayoutRect& wanted, const LayoutRect& workArea);

} // namespace tidewell
