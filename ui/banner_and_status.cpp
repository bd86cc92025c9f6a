// The coverage banner, the status bar and the main window's layout.
#include "ui/window_state.h" // first: the Windows headers below need <windows.h>

#include <commctrl.h>

#include "platform/dpi_scale.h"
#include "scan/scan_driver.h"
#include "ui/coverage_text.h"
#include "ui/main_layout.h"
#include "ui/record_list_logic.h"

namespace tidewell {

namespace {

// The height the banner's text needs when wrapped to width, or -1.
int measureBannerText(int width) {
    HWND banner = windowState().banner;
    wchar_t text[1024] = {};
    const int length = GetWindowTextW(banner, text, 1024);
    if (length <= 0) {
        return -1;
    }
    HDC dc = GetDC(banner);
    if (dc == nullptr) {
        return -1;
    }
    HGDIOBJ previous =
        windowState().font != nullptr ? SelectObject(dc, windowState().font) : nullptr;
    RECT area{0, 0, width, 0};
    DrawTextW(dc, text, length, &area, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (previous != nullptr) {
        SelectObject(dc, previous);
    }
    ReleaseDC(banner, dc);
    return area.bottom - area.top;
}

void place(HWND control, const LayoutRect& rect) {
    MoveWindow(control, rect.x, rect.y, rect.width, rect.height, TRUE);
}

} // namespace

void refreshBanner() {
    const ScanResults& results = windowState().results;
    SetWindowTextW(
        windowState().banner,
        bannerText(results.tally, results.facts, results.origin, windowState().rows.times).c_str());
    if (windowState().main != nullptr) {
        layoutMainWindow(windowState().main);
    }
    InvalidateRect(windowState().banner, nullptr, TRUE);
}

void layoutMainWindow(HWND main) {
    WindowState& handles = windowState();
    SendMessageW(handles.statusBar, WM_SIZE, 0, 0);
    RECT status{};
    GetWindowRect(handles.statusBar, &status);
    RECT client{};
    GetClientRect(main, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const MainLayout layout =
        computeMainLayout(width, height, status.bottom - status.top,
                          measureBannerText(bannerTextWidth(width, scaleForDpi)), scaleForDpi);
    SendMessageW(handles.statusBar, SB_SETPARTS, 4,
                 reinterpret_cast<LPARAM>(layout.statusPartEdges.data()));
    place(handles.banner, layout.banner);
    place(handles.filterLabel, layout.filterLabel);
    place(handles.filterEdit, layout.filterEdit);
    place(handles.list, layout.list);
    refreshStatusBar();
}

void refreshStatusBar() {
    const ScanResults& results = windowState().results;
    std::array<std::wstring, 4> parts = statusBarTexts(
        windowState().rows.visible.size(), results.records.size(), results.tally, results.facts);
    if (windowState().showPrograms) {
        parts[0] = programsShownText(windowState().programRows.visible.size(), results.programs);
    }
    for (int part = 0; part < 4; ++part) {
        SendMessageW(windowState().statusBar, SB_SETTEXTW, static_cast<WPARAM>(part),
                     reinterpret_cast<LPARAM>(parts[static_cast<std::size_t>(part)].c_str()));
    }
}

LRESULT paintBanner(HDC dc) {
    // Dark amber on cream when something could not be read.
    const bool failed = windowState().results.anyFailure;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, failed ? RGB(120, 62, 0) : GetSysColor(COLOR_BTNTEXT));
    return reinterpret_cast<LRESULT>(failed ? windowState().creamBrush : windowState().faceBrush);
}

} // namespace tidewell
