// What the program's windows share about their place and their text on a
// monitor: the message font at a DPI, and a window fitted to the work area
// of the monitor it is on (or moves to).
#pragma once

#include "platform/win32/win32_common.h"

namespace tidewell {

// The system's message font, scaled to dpi; null when it cannot be had.
HFONT createMessageFont(UINT dpi);

// Makes the window no larger than the work area of its monitor, and moves
// it onto that work area.
void fitWindowToMonitor(HWND window);

// The same for a rectangle Windows suggests (a DPI change): the window is
// placed there, fitted to the monitor the rectangle lies on.
void placeFittedToMonitor(HWND window, const RECT& suggested);

} // namespace tidewell
