// The Programs view's logic, apart from the list control: one row per
// program, which programs are shown, in what order, and what each cell
// says. Nothing here touches the window system.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/launch_record.h"
#include "core/program_list.h"
#include "platform/timestamp_format.h"
#include "ui/record_list_logic.h"

namespace tidewell {

enum ProgramColumn : int {
    programColumnName = 0,
    programColumnPath = 1,
    programColumnRanPer = 2,
    programColumnSeenBy = 3,
    programColumnFirstRun = 4,
    programColumnLastRun = 5,
    programColumnUsers = 6,
    programColumnSha1 = 7,
};
inline constexpr int programColumnCount = 8;
extern const ColumnSpec programColumns[programColumnCount];

struct ProgramListState {
    std::vector<std::size_t> visible; // indexes into the programs, in display order
    int sortColumn = programColumnLastRun;
    bool sortAscending = false; // the latest run first
};

// Shown when one of its records' sources is switched on and the folded
// filter occurs in its folded name or path.
bool isProgramShown(const ProgramList& list, const Program& program, const RecordList& records,
                    std::wstring_view foldedFilter, const SourceToggles& showSource);

std::wstring programCellText(const ProgramList& list, const Program& program,
                             const RecordList& records, int column,
                             TimeBasis times = TimeBasis::Local);

// A column's header text; the run columns say when their times are UTC.
std::wstring programColumnTitle(int column, TimeBasis times);

// A header click: a new column sorts times newest first and texts from A;
// the same column again reverses the direction.
void applyProgramColumnClick(ProgramListState& state, int column);

void rebuildProgramRows(ProgramListState& state, const ProgramList& programs,
                        const RecordList& records, std::wstring_view foldedFilter,
                        const SourceToggles& showSource);

// The program at a row, or null when the row names none.
const Program* programAtRow(const ProgramListState& state, const ProgramList& programs, long row);

// Column widths that fit a client width, the path column taking what is
// left once the others have their preferred widths (shrunk towards their
// minimums in turn where they must).
std::array<int, programColumnCount> fitProgramColumnWidths(int clientWidth, int scrollBarWidth,
                                                           int (*scale)(int));

} // namespace tidewell
