// The record list control: a virtual report list whose rows hold nothing;
// it asks for each cell's text as it paints, from the pure list logic.
#include "ui/window_state.h" // first: the Windows headers below need <windows.h>

#include <commctrl.h>

#include "platform/dpi_scale.h"
#include "scan/scan_driver.h"
#include "ui/program_list_logic.h"
#include "ui/record_list_logic.h"

namespace tidewell {

namespace {

std::wstring cellBuffer; // the text of the cell last asked for

std::wstring filterText() {
    wchar_t typed[256] = {};
    GetWindowTextW(windowState().filterEdit, typed, 256);
    return typed;
}

int shownColumnCount() {
    return windowState().showPrograms ? programColumnCount : listColumnCount;
}

// Marks the sort column and its direction in the header.
void showSortInHeader() {
    HWND header = ListView_GetHeader(windowState().list);
    if (header == nullptr) {
        return;
    }
    const bool programs = windowState().showPrograms;
    const int sortColumn =
        programs ? windowState().programRows.sortColumn : windowState().rows.sortColumn;
    const bool ascending =
        programs ? windowState().programRows.sortAscending : windowState().rows.sortAscending;
    for (int column = 0; column < shownColumnCount(); ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!Header_GetItem(header, column, &item)) {
            continue;
        }
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == sortColumn) {
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        }
        Header_SetItem(header, column, &item);
    }
}

} // namespace

void insertListColumns() {
    const bool programs = windowState().showPrograms;
    for (int column = 0; column < shownColumnCount(); ++column) {
        std::wstring title = programs ? programColumnTitle(column, windowState().rows.times)
                                      : columnTitle(column, windowState().rows.times);
        const ColumnSpec& columnSpec = programs ? programColumns[column] : listColumns[column];
        LVCOLUMNW spec{};
        spec.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        spec.fmt = columnSpec.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
        spec.cx = scaleForDpi(columnSpec.preferredWidth);
        spec.pszText = title.data();
        spec.iSubItem = column;
        SendMessageW(windowState().list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&spec));
    }
    showSortInHeader();
}

void showTimeBasisInList() {
    const TimeBasis times = windowState().rows.times;
    for (int column = 0; column < shownColumnCount(); ++column) {
        std::wstring title = windowState().showPrograms ? programColumnTitle(column, times)
                                                        : columnTitle(column, times);
        LVCOLUMNW spec{};
        spec.mask = LVCF_TEXT;
        spec.pszText = title.data();
        SendMessageW(windowState().list, LVM_SETCOLUMNW, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&spec));
    }
    InvalidateRect(windowState().list, nullptr, TRUE);
}

void showProgramsInList(bool programs) {
    WindowState& state = windowState();
    if (state.showPrograms == programs) {
        return;
    }
    HWND list = state.list;
    SendMessageW(list, LVM_SETITEMCOUNT, 0, LVSICF_NOSCROLL);
    while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0) != FALSE) {
    }
    state.showPrograms = programs;
    insertListColumns();
    RECT client{};
    GetClientRect(list, &client);
    fitColumns(client.right - client.left);
    refreshList();
}

const Program* selectedProgram() {
    if (!windowState().showPrograms) {
        return nullptr;
    }
    return programAtRow(windowState().programRows, windowState().results.programs, selectedRow());
}

long selectedRow() {
    if (windowState().list == nullptr) {
        return -1;
    }
    return static_cast<long>(
        SendMessageW(windowState().list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The Programs view: the selection follows its program as the records'
// view follows its record.
void refreshProgramList() {
    WindowState& window = windowState();
    ProgramListState& state = window.programRows;
    const long oldRow = selectedRow();
    const bool hadSelection =
        oldRow >= 0 && static_cast<std::size_t>(oldRow) < state.visible.size();
    const std::size_t selected = hadSelection ? state.visible[static_cast<std::size_t>(oldRow)] : 0;
    rebuildProgramRows(state, window.results.programs, window.results.records,
                       foldFilter(filterText()), window.rows.showSource);
    HWND list = window.list;
    if (list != nullptr) {
        SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(state.visible.size()),
                     LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (std::size_t row = 0; hadSelection && row < state.visible.size(); ++row) {
            if (state.visible[row] == selected) {
                ListView_SetItemState(list, static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
                ListView_EnsureVisible(list, static_cast<int>(row), FALSE);
                break;
            }
        }
        InvalidateRect(list, nullptr, TRUE);
        showSortInHeader();
    }
    refreshStatusBar();
}

void refreshList() {
    if (windowState().showPrograms) {
        refreshProgramList();
        return;
    }
    ListState& state = windowState().rows;
    const RecordList& records = windowState().results.records;
    // The selection follows its record to wherever the refresh puts it.
    const long oldRow = selectedRow();
    const bool hadSelection =
        oldRow >= 0 && static_cast<std::size_t>(oldRow) < state.visible.size();
    const std::size_t selectedRecord =
        hadSelection ? state.visible[static_cast<std::size_t>(oldRow)] : 0;

    rebuildVisible(state, records, foldFilter(filterText()));

    HWND list = windowState().list;
    if (list != nullptr) {
        SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(state.visible.size()),
                     LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (hadSelection) {
            for (std::size_t row = 0; row < state.visible.size(); ++row) {
                if (state.visible[row] == selectedRecord) {
                    ListView_SetItemState(list, static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED,
                                          LVIS_SELECTED | LVIS_FOCUSED);
                    ListView_EnsureVisible(list, static_cast<int>(row), FALSE);
                    break;
                }
            }
        }
        InvalidateRect(list, nullptr, TRUE);
        showSortInHeader();
    }
    refreshStatusBar();
}

void forgetListRows() {
    // Called when a scan empties the records: no row may name one any more.
    forgetRecords(windowState().rows);
    windowState().programRows.visible.clear();
    if (windowState().list != nullptr) {
        SendMessageW(windowState().list, LVM_SETITEMCOUNT, 0, LVSICF_NOSCROLL);
    }
}

void answerDisplayRequest(LPARAM notification) {
    auto* request = reinterpret_cast<NMLVDISPINFOW*>(notification);
    if ((request->item.mask & LVIF_TEXT) == 0) {
        return;
    }
    if (windowState().showPrograms) {
        const Program* program =
            programAtRow(windowState().programRows, windowState().results.programs,
                         static_cast<long>(request->item.iItem));
        if (program == nullptr) {
            return;
        }
        cellBuffer =
            programCellText(windowState().results.programs, *program, windowState().results.records,
                            request->item.iSubItem, windowState().rows.times);
        request->item.pszText = cellBuffer.data();
        return;
    }
    const LaunchRecord* record = recordAtRow(windowState().rows, windowState().results.records,
                                             static_cast<long>(request->item.iItem));
    if (record == nullptr) {
        return; // a row that names no record gets no answer
    }
    cellBuffer = cellText(*record, request->item.iSubItem, windowState().rows.times);
    request->item.pszText = cellBuffer.data();
}

void onColumnClick(int column) {
    if (windowState().showPrograms) {
        applyProgramColumnClick(windowState().programRows, column);
    } else {
        applyColumnClick(windowState().rows, column);
    }
    refreshList();
}

void fitColumns(int clientWidth) {
    if (windowState().showPrograms) {
        const std::array<int, programColumnCount> widths =
            fitProgramColumnWidths(clientWidth, GetSystemMetrics(SM_CXVSCROLL), scaleForDpi);
        for (int column = 0; column < programColumnCount; ++column) {
            SendMessageW(windowState().list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                         MAKELPARAM(widths[static_cast<std::size_t>(column)], 0));
        }
        return;
    }
    const std::array<int, listColumnCount> widths =
        fitColumnWidths(clientWidth, GetSystemMetrics(SM_CXVSCROLL), scaleForDpi);
    for (int column = 0; column < listColumnCount; ++column) {
        SendMessageW(windowState().list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                     MAKELPARAM(widths[static_cast<std::size_t>(column)], 0));
    }
}

} // namespace tidewell
