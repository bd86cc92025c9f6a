// Reads the state of a running Tidewell window from another process, for the
// test that drives the window as a person would (xdotool sends the keys and
// clicks; this reads back what the window shows). Commands:
//   rows                 the list's row count
//   cell ROW COLUMN      one cell's text
//   column COLUMN        every row's text in one column, a line each
//   rect main|detail|status  a window's rectangle on the screen: x y width height
//   screen               the work area of the main window's monitor: x y width height
//   header COLUMN        a column header's text
//   banner               the banner's text
//   filter               the filter edit's text
//   status PART          one status-bar part's text
//   center edit          the screen point at the middle of the filter edit
//   center header COLUMN the screen point at the middle of a column header
//   center row ROW       the screen point at the middle of a row
//   detail               "match" when an open detail window's text is the
//                        detail text of a record of that name on this machine
//                        (of the evidence root given after it, if one is)
//   detail-utc           the same, with the times in UTC
//   detail-columns       "aligned N X" when the N values of the open detail
//                        window's labelled lines all start at X, right of
//                        every label; "ragged" and the starts otherwise
//   messagebox           the text of an open message box titled Tidewell
//   close-details        closes every detail window
//   close-main           closes the main window, which ends the program
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>

#include "platform/identity.h"
#include "platform/utf8_codec.h"
#include "scan/scan_driver.h"
#include "ui/detail_columns.h"
#include "ui/detail_text.h"

namespace {

HWND mainWindow() {
    return FindWindowW(L"TidewellWindow", nullptr);
}

// Memory in the window's process, for messages that carry pointers.
struct RemoteBuffer {
    HANDLE process = nullptr;
    void* address = nullptr;
    explicit RemoteBuffer(HWND window, std::size_t size) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        if (process != nullptr) {
            address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        }
    }
    ~RemoteBuffer() {
        if (address != nullptr) {
            VirtualFreeEx(process, address, 0, MEM_RELEASE);
        }
        if (process != nullptr) {
            CloseHandle(process);
        }
    }
    bool write(const void* data, std::size_t size, std::size_t offset = 0) {
        return WriteProcessMemory(process, static_cast<char*>(address) + offset, data, size,
                                  nullptr);
    }
    bool read(void* data, std::size_t size, std::size_t offset = 0) {
        return ReadProcessMemory(process, static_cast<char*>(address) + offset, data, size,
                                 nullptr);
    }
};

void print(const std::wstring& text) {
    std::printf("%s\n", tidewell::toUtf8(text).c_str());
}

std::wstring windowText(HWND window) {
    wchar_t buffer[65536] = {};
    SendMessageW(window, WM_GETTEXT, 65536, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring cellText(HWND list, int row, int column) {
    RemoteBuffer remote(list, sizeof(LVITEMW) + 2048);
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = 1024;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote.address) + sizeof(LVITEMW));
    if (remote.address == nullptr || !remote.write(&item, sizeof item)) {
        return L"<unreadable>";
    }
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(remote.address));
    wchar_t text[1024] = {};
    remote.read(text, sizeof text - sizeof(wchar_t), sizeof(LVITEMW));
    return text;
}

std::wstring headerText(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RemoteBuffer remote(header, sizeof(HDITEMW) + 512);
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.cchTextMax = 256;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote.address) + sizeof(HDITEMW));
    if (remote.address == nullptr || !remote.write(&item, sizeof item) ||
        !SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(remote.address))) {
        return L"<unreadable>";
    }
    wchar_t text[256] = {};
    remote.read(text, sizeof text - sizeof(wchar_t), sizeof(HDITEMW));
    return text;
}

int printRect(HWND window) {
    RECT rect{};
    if (window == nullptr || !GetWindowRect(window, &rect)) {
        return 1;
    }
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    return 0;
}

void printCenter(const RECT& rect) {
    std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

int center(HWND main, int argc, wchar_t** argv) {
    const std::wstring what = argv[2];
    HWND list = GetDlgItem(main, 200);
    if (what == L"edit") {
        RECT rect{};
        GetWindowRect(GetDlgItem(main, 201), &rect);
        printCenter(rect);
        return 0;
    }
    if (argc < 4) {
        return 2;
    }
    const int index = _wtoi(argv[3]);
    RemoteBuffer remote(list, sizeof(RECT));
    RECT rect{};
    HWND owner = list;
    if (what == L"header") {
        owner = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        SendMessageW(owner, HDM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(remote.address));
    } else {
        rect.left = LVIR_BOUNDS;
        remote.write(&rect, sizeof rect);
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(remote.address));
    }
    remote.read(&rect, sizeof rect);
    MapWindowPoints(owner, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    printCenter(rect);
    return 0;
}

// The open detail window's text against a scan of its own, of this machine
// or of the evidence root given, with times shown in the basis given.
int detail(const wchar_t* evidenceRoot, tidewell::TimeBasis times) {
    HWND window = FindWindowW(L"TidewellDetail", nullptr);
    if (window == nullptr) {
        std::printf("no detail window\n");
        return 1;
    }
    const std::wstring title = windowText(window);
    const std::wstring shown = windowText(GetDlgItem(window, 1));
    tidewell::ScanResults results;
    tidewell::ScanTarget target;
    if (evidenceRoot != nullptr) {
        target = tidewell::ScanTarget{tidewell::ScanSubject::EvidenceRoot, evidenceRoot};
    }
    tidewell::runScan(target, results);
    tidewell::DetailContext context{L"", results.origin.evidence, times};
    tidewell::queryTokenUserSid(context.runningSid);
    for (const tidewell::LaunchRecord& record : results.records) {
        if (record.name == title &&
            tidewell::detailTextWithTabs(tidewell::buildDetailText(record, context)) == shown) {
            std::printf("match %s\n", tidewell::toUtf8(title).c_str());
            return 0;
        }
    }
    std::printf("mismatch %s\n", tidewell::toUtf8(title).c_str());
    print(shown);
    return 1;
}

// Where each value of the open detail window starts on screen, against
// where its label ends: one column, right of every label.
int detailColumns() {
    HWND edit = GetDlgItem(FindWindowW(L"TidewellDetail", nullptr), 1);
    if (edit == nullptr) {
        std::printf("no detail window\n");
        return 1;
    }
    const std::wstring text = windowText(edit);
    std::vector<long> starts;
    long labelsEnd = 0;
    for (std::size_t at = text.find(L'\t'); at != std::wstring::npos;
         at = text.find(L'\t', at + 1)) {
        const std::size_t lineStart =
            text.rfind(L'\n', at) == std::wstring::npos ? 0 : text.rfind(L'\n', at) + 1;
        if (at == lineStart) {
            continue; // a continuation: its value starts at the column too, by the same tab
        }
        const LRESULT tab = SendMessageW(edit, EM_POSFROMCHAR, at, 0);
        const LRESULT value = SendMessageW(edit, EM_POSFROMCHAR, at + 1, 0);
        labelsEnd = std::max(labelsEnd, static_cast<long>(static_cast<short>(LOWORD(tab))));
        starts.push_back(static_cast<short>(LOWORD(value)));
    }
    const bool aligned = !starts.empty() &&
                         std::all_of(starts.begin(), starts.end(),
                                     [&](long start) { return start == starts.front(); }) &&
                         starts.front() > labelsEnd;
    std::printf(aligned ? "aligned %zu %ld\n" : "ragged", starts.size(),
                starts.empty() ? 0L : starts.front());
    if (!aligned) {
        for (long start : starts) {
            std::printf(" %ld", start);
        }
        std::printf(" (labels end by %ld)\n", labelsEnd);
    }
    return aligned ? 0 : 1;
}

int workArea(HWND main) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &info)) {
        return 1;
    }
    std::printf("%ld %ld %ld %ld\n", info.rcWork.left, info.rcWork.top,
                info.rcWork.right - info.rcWork.left, info.rcWork.bottom - info.rcWork.top);
    return 0;
}

int messageBox() {
    HWND box = FindWindowW(L"#32770", L"Tidewell");
    if (box == nullptr) {
        std::printf("no message box\n");
        return 1;
    }
    print(windowText(GetDlgItem(box, 0xFFFF)));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        return 2;
    }
    const std::wstring command = argv[1];
    if (command == L"messagebox") {
        return messageBox();
    }
    if (command == L"close-details") {
        // Every detail window, so that the keys go to the main window again.
        while (HWND window = FindWindowW(L"TidewellDetail", nullptr)) {
            SendMessageW(window, WM_CLOSE, 0, 0);
        }
        return 0;
    }
    if (command == L"close-main") {
        // The program ends as when its window is closed.
        if (HWND window = mainWindow()) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return 0;
    }
    if (command == L"detail") {
        return detail(argc >= 3 ? argv[2] : nullptr, tidewell::TimeBasis::Local);
    }
    if (command == L"detail-utc") {
        return detail(nullptr, tidewell::TimeBasis::Utc);
    }
    HWND main = mainWindow();
    if (main == nullptr) {
        std::printf("no Tidewell window\n");
        return 1;
    }
    HWND list = GetDlgItem(main, 200);
    if (command == L"rows") {
        std::printf("%ld\n", static_cast<long>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
        return 0;
    }
    if (command == L"cell" && argc >= 4) {
        print(cellText(list, _wtoi(argv[2]), _wtoi(argv[3])));
        return 0;
    }
    if (command == L"column" && argc >= 3) {
        const long rows = static_cast<long>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (long row = 0; row < rows; ++row) {
            print(cellText(list, static_cast<int>(row), _wtoi(argv[2])));
        }
        return 0;
    }
    if (command == L"rect" && argc >= 3) {
        const std::wstring which = argv[2];
        return printRect(which == L"detail"   ? FindWindowW(L"TidewellDetail", nullptr)
                         : which == L"status" ? GetDlgItem(main, 202)
                                              : main);
    }
    if (command == L"screen") {
        return workArea(main);
    }
    if (command == L"detail-columns") {
        return detailColumns();
    }
    if (command == L"header" && argc >= 3) {
        print(headerText(list, _wtoi(argv[2])));
        return 0;
    }
    if (command == L"banner") {
        print(windowText(GetDlgItem(main, 203)));
        return 0;
    }
    if (command == L"title") {
        print(windowText(main));
        return 0;
    }
    if (command == L"filter") {
        print(windowText(GetDlgItem(main, 201)));
        return 0;
    }
    if (command == L"status" && argc >= 3) {
        HWND status = GetDlgItem(main, 202);
        RemoteBuffer remote(status, 2048);
        SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(_wtoi(argv[2])),
                     reinterpret_cast<LPARAM>(remote.address));
        wchar_t text[1024] = {};
        remote.read(text, sizeof text - sizeof(wchar_t));
        print(text);
        return 0;
    }
    if (command == L"center" && argc >= 3) {
        return center(main, argc, argv);
    }
    return 2;
}
