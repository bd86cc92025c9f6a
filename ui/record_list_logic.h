// The record list's logic, apart from the list control: which records are
// shown, in what order, and what each cell says. Nothing here touches the
// window system, so it runs and is tested without it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/launch_record.h"
#include "core/record_source.h"
#include "platform/timestamp_format.h"
#include "ui/list_order.h"

namespace tidewell {

enum ListColumn : int {
    columnSource = 0,
    columnName = 1,
    columnRuns = 2,
    columnLastRun = 3,
    columnPath = 4,
    columnUser = 5,
    columnDetail = 6,
};
inline constexpr int listColumnCount = 7;

// One View toggle per source, by its number in the table of sources.
using SourceToggles = std::array<bool, maxRecordSources>;

constexpr SourceToggles allSourcesShown() {
    SourceToggles shown{};
    for (bool& source : shown) {
        source = true;
    }
    return shown;
}

struct ColumnSpec {
    const wchar_t* title;
    bool rightAligned;
    int preferredWidth; // at 96 DPI
    int minimumWidth;   // at 96 DPI; 0: never shrunk
};
extern const ColumnSpec listColumns[listColumnCount];

// The list's state for the run: the rows shown (indexes into the records,
// in display order), the View toggles, the sort, and the ranks of the
// current scan's records, which only forgetRecords lets go of.
struct ListState {
    std::vector<std::size_t> visible;
    SourceToggles showSource = allSourcesShown();
    int sortColumn = columnLastRun;
    bool sortAscending = false; // newest first
    TimeBasis times = TimeBasis::Local;
    ListRanks ranks;
};

// The filter as typed, at most 255 characters, folded for matching.
std::wstring foldFilter(std::wstring_view typed);

// Shown when its source is switched on and the folded filter occurs in its
// folded name or path (an empty filter matches everything).
bool isShown(const LaunchRecord& record, std::wstring_view foldedFilter,
             const SourceToggles& showSource);

// True when record a must come before record b (both indexes into records).
bool compareRows(const RecordList& records, std::size_t a, std::size_t b, int sortColumn,
                 bool sortAscending);

std::wstring cellText(const LaunchRecord& record, int column, TimeBasis times = TimeBasis::Local);

// A column's header text; the Last run column says when its times are UTC.
std::wstring columnTitle(int column, TimeBasis times);

// A header click: a new column sorts counts and times largest first and
// texts from A; the same column again reverses the direction.
void applyColumnClick(ListState& state, int column);

// Rebuilds visible from the records, the filter and the toggles, then sorts it.
void rebuildVisible(ListState& state, const RecordList& records, std::wstring_view foldedFilter);

// Before the records are replaced by another scan's: no row and no rank
// may stand for them any more.
void forgetRecords(ListState& state);

// The record at a row of the list, or null when the row names none.
const LaunchRecord* recordAtRow(const ListState& state, const RecordList& records, long row);

// Column widths that fit a client width: the preferred widths, shrunk in a
// fixed order towards their minimums until the path column has room; the
// path column takes what is left. All lengths in pixels, scaled by scale.
std::array<int, listColumnCount> fitColumnWidths(int clientWidth, int scrollBarWidth,
                                                 int (*scale)(int));

} // namespace tidewell
