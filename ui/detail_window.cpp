// A detail window: a resizable frame holding a read-only text box with a
// snapshot of one record, taken when it opens.
#include "core/scan_driver.h"
#include "platform/dpi_scale.h"
#include "ui/detail_text.h"
#include "ui/record_list_logic.h"
#include "ui/window_state.h"

namespace tidewell {

namespace {

constexpr wchar_t detailClassName[] = L"TidewellDetail";
constexpr int detailEditId = 1;
bool classRegistered = false;

LRESULT CALLBACK detailWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (HWND edit = GetDlgItem(window, detailEditId)) {
            MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
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
    const LaunchRecord* record =
        recordAtRow(windowState().rows, windowState().results.records, selectedRow());
    if (record == nullptr || !registerDetailClass()) {
        return;
    }
    WindowState& handles = windowState();
    HWND window = CreateWindowExW(0, detailClassName, record->name.c_str(), WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, scaleForDpi(720), scaleForDpi(520),
                                  handles.main, nullptr, handles.instance, nullptr);
    if (window == nullptr) {
        return;
    }
    const std::wstring text =
        buildDetailText(*record, DetailContext{handles.runningSid, handles.results.origin.evidence,
                                               handles.rows.times, &handles.results.origin.copies});
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
        if (handles.font != nullptr) {
            SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(handles.font), TRUE);
        }
        RECT client{};
        GetClientRect(window, &client);
        MoveWindow(edit, 0, 0, client.right, client.bottom, TRUE);
    }
    ShowWindow(window, SW_SHOWNORMAL);
}

} // namespace tidewell
