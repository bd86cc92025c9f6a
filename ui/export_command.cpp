// File > Export report: ask where, write through the safe commit, and say
// which of the two outcomes it was.
#include "ui/window_state.h" // first: the Windows headers below need <windows.h>

#include <commdlg.h>

#include "core/scan_driver.h"
#include "report/report_commit.h"

namespace tidewell {

namespace {

void showExportFailure() {
    MessageBoxW(windowState().main,
                L"The report could not be written and no partial file was left behind.",
                programTitle, MB_ICONERROR | MB_OK);
}

} // namespace

void exportReportCommand() {
    wchar_t fileName[MAX_PATH] = L"launch_history.csv";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = windowState().main;
    dialog.lpstrFilter = L"CSV file\0*.csv\0All files\0*.*\0\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog)) {
        // A cancel says nothing; a dialog that failed is a failed export.
        if (CommDlgExtendedError() != 0) {
            showExportFailure();
        }
        return;
    }
    const ScanResults& results = windowState().results;
    if (!writeReport(fileName, results.records, results.tally, results.facts)) {
        showExportFailure();
        return;
    }
    const std::wstring message = std::wstring(L"Saved.\r\n\r\n") + fileName +
                                 L"\r\n\r\nThe file holds every record, not just the ones shown, "
                                 L"and begins with what the scan could and could not read.";
    MessageBoxW(windowState().main, message.c_str(), programTitle, MB_ICONINFORMATION | MB_OK);
}

} // namespace tidewell
