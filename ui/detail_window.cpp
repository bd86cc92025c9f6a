// A detail window: a resizable frame holding a read-only text box with a
// snapshot of one record, taken when it opens. The box has a font of its own
// at its monitor's DPI, and a tab stop past its widest label, so that the
// values stand in one column in a proportional font.
#include "ui/window_state.h" // first: the Windows headers below need <windows.h>

#include <algorithm>

#include "platform/dpi_scale.h"
#include "programs/program_texts.h"
#include "scan/scan_driver.h"
#include "ui/detail_columns.h"
#include "ui/detail_text.h"
#include "ui/program_detail_text.h"
#include "ui/record_list_logic.h"
#include "ui/window_geometry.h"

namespace tidewell {

namespace {

constexpr wchar_t detailClassName[] = L"TidewellDetail";
constexpr int detailEditId = 1;
bool classRegistered = false;

// The font the window's text box uses, kept with the window.
constexpr wchar_t fontProperty[] = L"TidewellDetailFont";

// One tab stop past the widest label, in the dialog units the edit control
// counts in (a quarter of its font's average character width each).
void setValueColumn(HWND edit, HFONT font, const std::wstring& tabbed) {
    HDC dc = GetDC(edit);
    if (dc == nullptr) {
        return;
    }
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    int widest = 0;
    for (const std::wstring& label : detailLabels(tabbed)) {
        SIZE size{};
        if (GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size)) {
            widest = std::max(widest, static_cast<int>(size.cx));
        }
    }
    SelectObject(dc, previous);
    ReleaseDC(edit, dc);
    const int average = std::max(1, static_cast<int>(metrics.tmAveCharWidth));
    // A gap of one average character after the widest label.
    int stop = (widest + average) * 4 / average + 1;
    SendMessageW(edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    InvalidateRect(edit, nullptr, TRUE);
}

// A font at dpi for the window's text box, replacing the one it had.
void applyDetailFont(HWND window, UINT dpi) {
    HWND edit = GetDlgItem(window, detailEditId);
    HFONT font = createMessageFont(dpi);
    if (edit == nullptr || font == nullptr) {
        if (font != nullptr) {
            DeleteObject(font);
        }
        return;
    }
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (HANDLE old = RemovePropW(window, fontProperty)) {
        DeleteObject(static_cast<HFONT>(old));
    }
    SetPropW(window, fontProperty, font);
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    setValueColumn(edit, font, text);
}

LRESULT CALLBACK detailWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (HWND edit = GetDlgItem(window, detailEditId)) {
            MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        }
        return 0;
    case WM_DPICHANGED:
        applyDetailFont(window, LOWORD(wParam));
        placeFittedToMonitor(window, *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_NCDESTROY:
        if (HANDLE font = RemovePropW(window, fontProperty)) {
            DeleteObject(static_cast<HFONT>(font));
        }
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool registerDetailClass() {
    if (classRegistered) {
        return true;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = detailWindowProc;
    windowClass.hInstance = windowState().instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = detailClassName;
    classRegistered = RegisterClassExW(&windowClass) != 0;
    return classRegistered;
}

} // namespace

void openDetailWindow() {
    WindowState& handles = windowState();
    const Program* program = selectedProgram();
    const LaunchRecord* record =
        handles.showPrograms ? nullptr
                             : recordAtRow(handles.rows, handles.results.records, selectedRow());
    if ((record == nullptr && program == nullptr) || !registerDetailClass()) {
        return;
    }
    const std::wstring title = program != nullptr ? programName(handles.results.programs, *program,
                                                                handles.results.records)
                                                  : record->name;
    HWND window = CreateWindowExW(0, detailClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, scaleForDpi(720), scaleForDpi(520),
                                  handles.main, nullptr, handles.instance, nullptr);
    if (window == nullptr) {
        return;
    }
    const DetailContext context{handles.runningSid, handles.results.origin.evidence,
                                handles.rows.times, &handles.results.origin.copies};
    const std::wstring text = detailTextWithTabs(
        program != nullptr
            ? buildProgramDetailText(handles.results.programs, *program, handles.results.records,
                                     context, handles.results.origin)
            : buildDetailText(*record, context));
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_READONLY,
                                0, 0, 0, 0, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(detailEditId)),
                                handles.instance, nullptr);
    if (edit != nullptr) {
        // An edit control holds 30,000 characters unless told otherwise; a
        // record with hundreds of loaded files needs more, and none may be cut.
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
        SetWindowTextW(edit, text.c_str());
        applyDetailFont(window, static_cast<UINT>(currentDpi()));
        RECT client{};
        GetClientRect(window, &client);
        MoveWindow(edit, 0, 0, client.right, client.bottom, TRUE);
    }
    fitWindowToMonitor(window);
    ShowWindow(window, SW_SHOWNORMAL);
}

} // namespace tidewell
