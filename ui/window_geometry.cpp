#include "ui/window_geometry.h"

#include "ui/window_fit.h"

namespace tidewell {

namespace {

LayoutRect layoutOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void placeFitted(HWND window, const RECT& wanted, HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    LayoutRect place = layoutOf(wanted);
    if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) {
        place = fitToWorkArea(place, layoutOf(info.rcWork));
    }
    SetWindowPos(window, nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

HFONT createMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return nullptr;
    }
    // The metrics are for the system's DPI; a monitor of another DPI gets
    // the font scaled to it.
    HDC screen = GetDC(nullptr);
    const int systemDpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    if (systemDpi > 0 && static_cast<int>(dpi) != systemDpi) {
        metrics.lfMessageFont.lfHeight =
            MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), systemDpi);
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

void fitWindowToMonitor(HWND window) {
    RECT rect{};
    if (GetWindowRect(window, &rect)) {
        placeFitted(window, rect, MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
    }
}

void placeFittedToMonitor(HWND window, const RECT& suggested) {
    placeFitted(window, suggested, MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST));
}

} // namespace tidewell
