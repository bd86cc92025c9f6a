// File > Export report: ask where, write through the safe commit, and say
// which of the two outcomes it was.
#include "ui/window_state.h" // first: the Windows headers below need <windows.h>

#include <commdlg.h>

#include "report/report_commit.h"
#include "report/report_format.h"
#include "scan/scan_driver.h"

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
    dialog.lpstrFilter = L"CSV report (*.csv)\0*.csv\0JSON (*.json)\0*.json\0"
                         L"Timeline, JSON Lines (*.jsonl)\0*.jsonl\0"
                         L"Programs, CSV (*.csv)\0*.csv\0\0";
    // The Programs view offers its own form first.
    dialog.nFilterIndex = windowState().showPrograms ? 4 : 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"csv"; // the chosen type's own extension where the dialog knows it
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog)) {
        // A cancel says nothing; a dialog that failed is a failed export.
        if (CommDlgExtendedError() != 0) {
            showExportFailure();
        }
        return;
    }
    // The name's extension decides; a name without one of ours takes the type chosen.
    const ReportFormat chosen = dialog.nFilterIndex == 2   ? ReportFormat::Json
                                : dialog.nFilterIndex == 3 ? ReportFormat::Timeline
                                : dialog.nFilterIndex == 4 ? ReportFormat::Programs
                                                           : ReportFormat::Csv;
    const ReportOptions options{reportFormatForFileName(fileName, chosen),
                                windowState().rows.times};
    const ScanResults& results = windowState().results;
    if (!writeReport(fileName, results, options)) {
        showExportFailure();
        return;
    }
    const wchar_t* const contents =
        options.format == ReportFormat::Timeline
            ? L"The file holds an event for every recorded run time of every record, not just "
              L"the ones shown, and each event says whether the scan's picture was complete."
        : options.format == ReportFormat::Programs
            ? L"The file holds every program, not just the ones shown, and begins with what the "
              L"scan could and could not read and how its records were joined."
            : L"The file holds every record, not just the ones shown, and begins with what the "
              L"scan could and could not read.";
    const std::wstring message =
        std::wstring(L"Saved.\r\n\r\n") + fileName + L"\r\n\r\n" + contents;
    MessageBoxW(windowState().main, message.c_str(), programTitle, MB_ICONINFORMATION | MB_OK);
}

} // namespace tidewell
