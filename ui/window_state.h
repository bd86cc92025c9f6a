// The main window's state: its handles, created once and kept for the run,
// the results of its last scan, and the list's filter-independent state.
// Window code only: the presentation logic beside it never sees these.
#pragma once

#include "platform/win32/win32_common.h"

#include <string>

#include "scan/scan_driver.h"
#include "ui/program_list_logic.h"
#include "ui/record_list_logic.h"

namespace tidewell {

enum ControlId : int {
    listControlId = 200,
    filterEditId = 201,
    statusBarId = 202,
    bannerId = 203,
    filterLabelId = 204,
};

enum CommandId : int {
    commandRescan = 100,
    commandExport = 101,
    commandRestartElevated = 102,
    commandExit = 103,
    commandOpenEvidence = 104,
    commandScanThisMachine = 105,
    commandOpenImage = 106,
    commandTimesInUtc = 115,
    commandViewPrograms = 116,
    commandViewRecords = 117,
    commandDetails = 112,
    commandCopyPath = 113,
    commandShowInExplorer = 114,
    commandAbout = 120,
    // One View toggle per source: this plus the source's index.
    commandShowSourceFirst = 130,
};

struct WindowState {
    HINSTANCE instance = nullptr;
    HWND main = nullptr;
    HWND banner = nullptr;
    HWND filterLabel = nullptr;
    HWND filterEdit = nullptr;
    HWND list = nullptr;
    HWND statusBar = nullptr;
    HFONT font = nullptr;
    HBRUSH creamBrush = nullptr;
    HBRUSH faceBrush = nullptr;
    std::wstring runningSid; // for the detail text's folder-id explanation

    ScanTarget target;   // what Rescan reads
    ScanResults results; // read-only between scans
    ListState rows;      // the rows shown, the View toggles and the sort
    // The list shows one row per program rather than per record.
    bool showPrograms = false;
    ProgramListState programRows;
};

WindowState& windowState();

// A whole scan of the target, with the wait cursor shown and the window
// brought up to date; no list row names a record while it runs.
void rescan();

// The program's name, as the title bar and the message boxes show it.
inline constexpr wchar_t programTitle[] = L"Tidewell";

// The record list control (record_list_view.cpp).
void insertListColumns();
void showTimeBasisInList(); // the Last run header and every cell, after a change of basis
void refreshList();
void forgetListRows();
void fitColumns(int clientWidth);
void answerDisplayRequest(LPARAM notification);
void onColumnClick(int column);
long selectedRow();
// Switches the list between its records and its programs.
void showProgramsInList(bool programs);
// The program at the selected row, or null (the Records view, no selection).
const Program* selectedProgram();

// The banner, the status bar and the layout (banner_and_status.cpp).
void refreshBanner();
void layoutMainWindow(HWND main);
void refreshStatusBar();
LRESULT paintBanner(HDC dc);

// The detail window (detail_window.cpp).
void openDetailWindow();

// The Export report command (export_command.cpp).
void exportReportCommand();

} // namespace tidewell
