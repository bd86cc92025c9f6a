#include "ui/program_list_logic.h"

#include <algorithm>

#include "core/record_source.h"
#include "platform/text_fold.h"
#include "programs/program_texts.h"

namespace tidewell {

const ColumnSpec programColumns[programColumnCount] = {
    {L"Name", false, 150, 100},   {L"Path", false, 260, 160},      {L"Ran per", false, 170, 90},
    {L"Seen by", false, 130, 70}, {L"First run", false, 128, 110}, {L"Last run", false, 128, 110},
    {L"Users", false, 80, 50},    {L"SHA-1", false, 90, 50},
};

namespace {

constexpr int pathRoomAtLeast = 160;
constexpr int listMargin = 8;
// The first given up when space is short.
constexpr int shrinkOrder[] = {programColumnSha1,   programColumnUsers,    programColumnSeenBy,
                               programColumnRanPer, programColumnFirstRun, programColumnName};

std::wstring usersText(const ProgramTexts& texts) {
    std::wstring text;
    for (const ProgramUser& user : texts.users) {
        text += text.empty() ? L"" : L", ";
        text += user.name.empty() ? user.sid : user.name;
    }
    return text;
}

std::wstring sha1Text(const ProgramTexts& texts) {
    std::wstring text;
    for (const ProgramHash& hash : texts.sha1) {
        text += text.empty() ? L"" : L" / ";
        text += hash.value;
    }
    return text;
}

// Programs without the time sort after the rest, whichever the direction.
bool timeBefore(std::uint64_t a, std::uint64_t b, bool ascending) {
    if ((a == 0) != (b == 0)) {
        return a != 0;
    }
    return ascending ? a < b : a > b;
}

// Texts are made once per sort, not once per comparison.
bool programBefore(const Program& a, const Program& b, const std::wstring& textA,
                   const std::wstring& textB, int column, bool ascending) {
    if (column == programColumnFirstRun && a.firstRun != b.firstRun) {
        return timeBefore(a.firstRun, b.firstRun, ascending);
    }
    if (column == programColumnLastRun && a.lastRun != b.lastRun) {
        return timeBefore(a.lastRun, b.lastRun, ascending);
    }
    if (column != programColumnFirstRun && column != programColumnLastRun) {
        const int order = compareFolded(textA, textB);
        if (order != 0) {
            return ascending ? order < 0 : order > 0;
        }
    }
    return a.id < b.id; // ties keep the programs' own order
}

} // namespace

bool isProgramShown(const ProgramList& list, const Program& program, const RecordList& records,
                    std::wstring_view foldedFilter, const SourceToggles& showSource) {
    const std::span<const std::size_t> members = list.recordsOf(program);
    const bool anySourceShown = std::any_of(members.begin(), members.end(), [&](std::size_t index) {
        const std::uint16_t number = records[index].source->number;
        return number >= showSource.size() || showSource[number];
    });
    if (!anySourceShown) {
        return false;
    }
    return foldedFilter.empty() ||
           containsFolded(programName(list, program, records), foldedFilter) ||
           containsFolded(programPath(list, program, records), foldedFilter);
}

std::wstring programCellText(const ProgramList& list, const Program& program,
                             const RecordList& records, int column, TimeBasis times) {
    switch (column) {
    case programColumnName:
        return programName(list, program, records);
    case programColumnFirstRun:
        return program.firstRun == 0 ? std::wstring() : formatTimestamp(program.firstRun, times);
    case programColumnLastRun:
        return program.lastRun == 0 ? std::wstring() : formatTimestamp(program.lastRun, times);
    default:
        break;
    }
    // A cell's text says what the program's records say: written for it now.
    const ProgramTexts texts = programTexts(list, program, records, ScanOrigin{});
    switch (column) {
    case programColumnPath:
        return texts.path.empty() ? L"(" + texts.placed + L")" : texts.path;
    case programColumnRanPer:
        return texts.ranPer.empty() ? std::wstring(L"never recorded running") : texts.ranPer;
    case programColumnSeenBy:
        return texts.seenBy;
    case programColumnUsers:
        return usersText(texts);
    case programColumnSha1:
        return sha1Text(texts);
    default:
        return {};
    }
}

std::wstring programColumnTitle(int column, TimeBasis times) {
    if (column < 0 || column >= programColumnCount) {
        return {};
    }
    std::wstring title = programColumns[column].title;
    if (times == TimeBasis::Utc &&
        (column == programColumnFirstRun || column == programColumnLastRun)) {
        title += L" (UTC)";
    }
    return title;
}

void applyProgramColumnClick(ProgramListState& state, int column) {
    if (column < 0 || column >= programColumnCount) {
        return;
    }
    if (column == state.sortColumn) {
        state.sortAscending = !state.sortAscending;
        return;
    }
    state.sortColumn = column;
    state.sortAscending = column != programColumnFirstRun && column != programColumnLastRun;
}

void rebuildProgramRows(ProgramListState& state, const ProgramList& programs,
                        const RecordList& records, std::wstring_view foldedFilter,
                        const SourceToggles& showSource) {
    state.visible.clear();
    for (std::size_t index = 0; index < programs.programs.size(); ++index) {
        if (isProgramShown(programs, programs.programs[index], records, foldedFilter, showSource)) {
            state.visible.push_back(index);
        }
    }
    const bool byTime =
        state.sortColumn == programColumnFirstRun || state.sortColumn == programColumnLastRun;
    std::vector<std::wstring> texts(byTime ? 0 : programs.programs.size());
    if (!byTime) {
        for (std::size_t index : state.visible) {
            texts[index] =
                programCellText(programs, programs.programs[index], records, state.sortColumn);
        }
    }
    const std::wstring none;
    std::sort(state.visible.begin(), state.visible.end(), [&](std::size_t a, std::size_t b) {
        return programBefore(programs.programs[a], programs.programs[b], byTime ? none : texts[a],
                             byTime ? none : texts[b], state.sortColumn, state.sortAscending);
    });
}

const Program* programAtRow(const ProgramListState& state, const ProgramList& programs, long row) {
    if (row < 0 || static_cast<std::size_t>(row) >= state.visible.size()) {
        return nullptr;
    }
    const std::size_t index = state.visible[static_cast<std::size_t>(row)];
    return index < programs.programs.size() ? &programs.programs[index] : nullptr;
}

std::array<int, programColumnCount> fitProgramColumnWidths(int clientWidth, int scrollBarWidth,
                                                           int (*scale)(int)) {
    std::array<int, programColumnCount> widths{};
    const int available = clientWidth - scrollBarWidth - scale(listMargin);
    const int room = scale(pathRoomAtLeast);
    int used = 0;
    for (int column = 0; column < programColumnCount; ++column) {
        if (column != programColumnPath) {
            widths[static_cast<std::size_t>(column)] = scale(programColumns[column].preferredWidth);
            used += widths[static_cast<std::size_t>(column)];
        }
    }
    for (int column : shrinkOrder) {
        if (available - used >= room) {
            break;
        }
        int& width = widths[static_cast<std::size_t>(column)];
        const int minimum = scale(programColumns[column].minimumWidth);
        if (width > minimum) {
            const int shrunk = std::max(minimum, width - (used + room - available));
            used -= width - shrunk;
            width = shrunk;
        }
    }
    widths[programColumnPath] = std::max(available - used, room);
    return widths;
}

} // namespace tidewell
