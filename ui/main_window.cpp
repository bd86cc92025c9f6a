// The program's entry, its one main window with its controls and menus, the
// message loop, and the small commands that are the window's own (restart
// elevated, copy path, show in Explorer, the View toggles, About). Every
// other command is routed to the part that does the work.
#include "ui/window_state.h" // first: the Windows headers below need <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windowsx.h>

#include <cstring>
#include <optional>

#include "core/record_source.h"
#include "platform/dpi_scale.h"
#include "platform/identity.h"
#include "programs/program_texts.h"
#include "scan/scan_driver.h"
#include "scan/source_table.h"
#include "ui/explorer_target.h"
#include "ui/record_list_logic.h"
#include "ui/window_geometry.h"

namespace tidewell {

namespace {

constexpr wchar_t mainClassName[] = L"TidewellWindow";
// The maker's site; the About page lies at /SOFTWARE/Tidewell.html on it.
constexpr wchar_t aboutPageHost[] = L"https://tidewell.example";

void applyFont() {
    WindowState& handles = windowState();
    if (handles.font == nullptr) {
        return;
    }
    for (HWND control : {handles.banner, handles.filterEdit, handles.filterLabel, handles.list,
                         handles.statusBar}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(handles.font), TRUE);
    }
}

HWND createControl(DWORD extendedStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                   int id) {
    return CreateWindowExW(extendedStyle, className, text, style, 0, 0, 0, 0, windowState().main,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           windowState().instance, nullptr);
}

HMENU buildMenuBar() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, commandRescan, L"&Rescan\tF5");
    AppendMenuW(file, MF_STRING, commandExport, L"&Export report...\tCtrl+S");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, commandOpenEvidence, L"Open e&vidence folder...");
    AppendMenuW(file, MF_STRING, commandOpenImage, L"Open disk &image...");
    AppendMenuW(file, MF_STRING, commandScanThisMachine, L"Scan &this machine");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, commandRestartElevated, L"Restart as &administrator");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, commandExit, L"E&xit");
    HMENU view = CreatePopupMenu();
    AppendMenuW(view, MF_STRING, commandViewPrograms, L"Pro&grams\tCtrl+P");
    AppendMenuW(view, MF_STRING | MF_CHECKED, commandViewRecords, L"&Records\tCtrl+R");
    AppendMenuW(view, MF_SEPARATOR, 0, nullptr);
    for (const RecordSource* source : tableSources()) {
        AppendMenuW(
            view, MF_STRING | MF_CHECKED,
            static_cast<UINT_PTR>(commandShowSourceFirst + static_cast<int>(source->number)),
            source->viewMenuText);
    }
    AppendMenuW(view, MF_STRING, commandTimesInUtc, L"&Times in UTC");
    AppendMenuW(view, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(view, MF_STRING, commandDetails, L"&Details\tEnter");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, commandAbout, L"&About");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

void createMainControls(HWND window) {
    WindowState& handles = windowState();
    handles.main = window;
    handles.font = createMessageFont(static_cast<UINT>(currentDpi()));
    handles.banner = createControl(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, bannerId);
    handles.filterLabel = createControl(0, L"STATIC", L"Filter:",
                                        WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE, filterLabelId);
    handles.filterEdit = createControl(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                       WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, filterEditId);
    handles.list = createControl(0, WC_LISTVIEWW, L"",
                                 WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL |
                                     LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                                 listControlId);
    ListView_SetExtendedListViewStyle(handles.list, LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT |
                                                        LVS_EX_DOUBLEBUFFER);
    handles.statusBar = createControl(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, statusBarId);
    applyFont();
    insertListColumns();
    SetMenu(window, buildMenuBar());
    handles.creamBrush = CreateSolidBrush(RGB(255, 248, 219));
    handles.faceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

const LaunchRecord* selectedRecord() {
    if (windowState().showPrograms) {
        return nullptr;
    }
    return recordAtRow(windowState().rows, windowState().results.records, selectedRow());
}

// The View menu's two views, one checked.
void chooseView(bool programs) {
    CheckMenuRadioItem(GetMenu(windowState().main), commandViewPrograms, commandViewRecords,
                       programs ? commandViewPrograms : commandViewRecords, MF_BYCOMMAND);
    showProgramsInList(programs);
}

void restartElevated() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    request.lpVerb = L"runas";
    request.lpFile = self;
    request.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&request)) {
        PostMessageW(windowState().main, WM_CLOSE, 0, 0); // the elevated instance takes over
    }
}

void copyPath() {
    const LaunchRecord* record = selectedRecord();
    const Program* program = selectedProgram();
    if ((record == nullptr && program == nullptr) || !OpenClipboard(windowState().main)) {
        return;
    }
    EmptyClipboard();
    const std::wstring text =
        program != nullptr
            ? programPath(windowState().results.programs, *program, windowState().results.records)
            : copyPathText(*record);
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            GlobalUnlock(memory);
            if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
                GlobalFree(memory);
            }
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void showInExplorer() {
    const LaunchRecord* record = selectedRecord();
    if (const Program* program = selectedProgram()) {
        // The program's folder is the one a record of it placed.
        for (std::size_t index : windowState().results.programs.recordsOf(*program)) {
            const LaunchRecord& candidate = windowState().results.records[index];
            if (candidate.pathStatus == PathStatus::Resolved) {
                record = &candidate;
                break;
            }
        }
    }
    if (record == nullptr) {
        return;
    }
    // A record of collected evidence names a file of the examined machine.
    const std::optional<std::wstring> parameter =
        windowState().results.origin.evidence ? std::nullopt : explorerSelectParameter(*record);
    if (parameter) {
        ShellExecuteW(windowState().main, L"open", L"explorer.exe", parameter->c_str(), nullptr,
                      SW_SHOWNORMAL);
        return;
    }
    MessageBoxW(windowState().main,
                L"This record does not name a file on this machine, so there is no folder to open.",
                programTitle, MB_ICONINFORMATION | MB_OK);
}

// Releases a COM interface the shell handed out.
template <typename Interface> struct ComReference {
    Interface* pointer = nullptr;
    ComReference() = default;
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;
    ~ComReference() {
        if (pointer != nullptr) {
            pointer->Release();
        }
    }
};

// The system's folder picker (the file dialog asked for folders); empty
// text when it was cancelled or failed.
std::wstring pickFolder() {
    ComReference<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog.pointer)))) {
        return {};
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.pointer->GetOptions(&options);
    dialog.pointer->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog.pointer->SetTitle(L"Open evidence folder: a copy of a Windows system drive, or a "
                             L"collection with the copy one folder down");
    ComReference<IShellItem> item;
    if (FAILED(dialog.pointer->Show(windowState().main)) ||
        FAILED(dialog.pointer->GetResult(&item.pointer))) {
        return {};
    }
    PWSTR path = nullptr;
    if (FAILED(item.pointer->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) {
        return {};
    }
    std::wstring chosen = path;
    CoTaskMemFree(path);
    return chosen;
}

void openEvidenceFolder() {
    const std::wstring chosen = pickFolder();
    if (chosen.empty()) {
        return;
    }
    windowState().target = ScanTarget{ScanSubject::EvidenceRoot, chosen};
    rescan();
}

void scanThisMachine() {
    windowState().target = ScanTarget{};
    rescan();
}

void toggleSource(int command, bool& shown) {
    shown = !shown;
    CheckMenuItem(GetMenu(windowState().main), static_cast<UINT>(command),
                  MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
    refreshList();
}

// The list, the banner, the detail windows opened from now on and the CSV
// export all follow the basis.
void toggleTimesInUtc() {
    TimeBasis& times = windowState().rows.times;
    times = times == TimeBasis::Utc ? TimeBasis::Local : TimeBasis::Utc;
    CheckMenuItem(GetMenu(windowState().main), commandTimesInUtc,
                  MF_BYCOMMAND | (times == TimeBasis::Utc ? MF_CHECKED : MF_UNCHECKED));
    showTimeBasisInList();
    refreshBanner();
}

void showContextMenu(LPARAM position) {
    const long row = selectedRow();
    if (row < 0) {
        return;
    }
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: open it at the selected row.
        RECT item{};
        item.left = LVIR_LABEL;
        SendMessageW(windowState().list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        at = {item.left, item.bottom};
        ClientToScreen(windowState().list, &at);
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, commandDetails, L"&Details");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, commandCopyPath, L"&Copy path");
    AppendMenuW(menu, MF_STRING, commandShowInExplorer, L"Show in &Explorer");
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, windowState().main, nullptr);
    DestroyMenu(menu);
}

void onCommand(HWND window, int command, int notification) {
    switch (command) {
    case commandRescan:
        rescan();
        break;
    case commandExport:
        exportReportCommand();
        break;
    case commandRestartElevated:
        restartElevated();
        break;
    case commandExit:
        PostMessageW(window, WM_CLOSE, 0, 0);
        break;
    case commandOpenEvidence:
        openEvidenceFolder();
        break;
    case commandScanThisMachine:
        scanThisMachine();
        break;
    case commandOpenImage:
        // Said plainly rather than failing obscurely: this build has none of
        // the libraries that read images.
        MessageBoxW(window,
                    L"Disk images (E01, raw, VHD, VHDX, VMDK, QCOW2) and their shadow copies are "
                    L"read by tidewell-report on Linux:\r\n\r\n    tidewell-report --evidence "
                    L"IMAGE REPORT.csv\r\n\r\nThis program reads this machine and folders "
                    L"holding a copy of a Windows drive (File > Open evidence folder).",
                    L"Tidewell", MB_OK | MB_ICONINFORMATION);
        break;
    case commandTimesInUtc:
        toggleTimesInUtc();
        break;
    case commandViewPrograms:
        chooseView(true);
        break;
    case commandViewRecords:
        chooseView(false);
        break;
    case commandDetails:
        openDetailWindow();
        break;
    case commandCopyPath:
        copyPath();
        break;
    case commandShowInExplorer:
        showInExplorer();
        break;
    case commandAbout:
        ShellExecuteW(window, L"open",
                      (std::wstring(aboutPageHost) + L"/SOFTWARE/Tidewell.html").c_str(), nullptr,
                      nullptr, SW_SHOWNORMAL);
        break;
    case filterEditId:
        if (notification == EN_CHANGE) {
            refreshList();
        }
        break;
    default:
        if (command >= commandShowSourceFirst &&
            command < commandShowSourceFirst + static_cast<int>(tableSources().size())) {
            toggleSource(command, windowState().rows.showSource[static_cast<std::size_t>(
                                      command - commandShowSourceFirst)]);
        }
        break;
    }
}

void relayout(HWND window) {
    layoutMainWindow(window);
    RECT client{};
    GetClientRect(windowState().list, &client);
    fitColumns(client.right - client.left);
}

// The window moved to a monitor of another DPI: new font, new lengths.
void onDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    setCurrentDpi(LOWORD(wParam));
    WindowState& handles = windowState();
    if (HFONT font = createMessageFont(LOWORD(wParam))) {
        if (handles.font != nullptr) {
            DeleteObject(handles.font);
        }
        handles.font = font;
        applyFont();
    }
    // Where Windows suggests, but never larger than the new monitor's work area.
    placeFittedToMonitor(window, *reinterpret_cast<const RECT*>(lParam));
    relayout(window);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        createMainControls(window);
        return 0;
    case WM_DESTROY: {
        WindowState& handles = windowState();
        for (HGDIOBJ object :
             {static_cast<HGDIOBJ>(handles.font), static_cast<HGDIOBJ>(handles.creamBrush),
              static_cast<HGDIOBJ>(handles.faceBrush)}) {
            if (object != nullptr) {
                DeleteObject(object);
            }
        }
        handles.font = nullptr;
        handles.creamBrush = handles.faceBrush = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    case WM_SIZE:
        relayout(window);
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(window, wParam, lParam);
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == listControlId) {
            switch (header->code) {
            case LVN_GETDISPINFOW:
                answerDisplayRequest(lParam);
                return 0;
            case NM_DBLCLK:
            case NM_RETURN:
                openDetailWindow();
                return 0;
            case LVN_COLUMNCLICK:
                onColumnClick(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
                return 0;
            default:
                break;
            }
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == windowState().list) {
            showContextMenu(lParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == windowState().banner) {
            return paintBanner(reinterpret_cast<HDC>(wParam));
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam), HIWORD(wParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

WindowState& windowState() {
    static WindowState state;
    return state;
}

void rescan() {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    forgetListRows(); // the records are about to be replaced
    WindowState& state = windowState();
    runScan(state.target, state.results);
    const std::wstring title = state.results.origin.evidence
                                   ? std::wstring(programTitle) + L" - evidence folder " +
                                         state.results.origin.evidenceFolder
                                   : std::wstring(programTitle);
    SetWindowTextW(state.main, title.c_str());
    refreshBanner();
    refreshList();
    SetCursor(previous);
}

int runProgram(HINSTANCE instance, int showCommand) {
    WindowState& handles = windowState();
    handles.instance = instance;
    // The folder picker is a COM object of the shell's.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = mainClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        return 1;
    }
    queryTokenUserSid(handles.runningSid);

    HWND window = CreateWindowExW(0, mainClassName, programTitle, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, scaleForDpi(1100), scaleForDpi(660),
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    // The scaled size may be larger than a small screen at a high DPI: the
    // whole window, status bar included, stays on the monitor it opens on.
    fitWindowToMonitor(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    rescan();

    ACCEL keys[] = {{FVIRTKEY, VK_F5, commandRescan},
                    {FVIRTKEY | FCONTROL, 'S', commandExport},
                    {FVIRTKEY | FCONTROL, 'P', commandViewPrograms},
                    {FVIRTKEY | FCONTROL, 'R', commandViewRecords}};
    HACCEL accelerators = CreateAcceleratorTableW(keys, 4);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Accelerators work from every window of the program, the detail
        // windows included, and always command the main window.
        if (accelerators != nullptr && TranslateAcceleratorW(window, accelerators, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (accelerators != nullptr) {
        DestroyAcceleratorTable(accelerators);
    }
    return 0;
}

} // namespace tidewell

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return tidewell::runProgram(instance, showCommand);
}
