#include "ui/record_list_logic.h"

#include <algorithm>

#include "platform/decimal_text.h"
#include "platform/text_fold.h"
#include "platform/text_format.h"
#include "platform/timestamp_format.h"
#include "ui/list_order.h"

namespace tidewell {

const ColumnSpec listColumns[listColumnCount] = {
    {L"Source", false, 76, 62},     {L"Name", false, 190, 120}, {L"Runs", true, 50, 0},
    {L"Last run", false, 132, 120}, {L"Path", false, 320, 200}, {L"User", false, 84, 58},
    {L"Detail", false, 146, 72},
};

namespace {

constexpr std::size_t filterLimit = 255;
constexpr int pathRoomAtLeast = 200;
constexpr int listMargin = 8;
// Detail, User, Source, Last run, Name: the first given up when space is short.
constexpr int shrinkOrder[] = {columnDetail, columnUser, columnSource, columnLastRun, columnName};

int orderOf(std::uint64_t a, std::uint64_t b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

std::uint32_t shownCount(const LaunchRecord& record) {
    return record.runCountKnown != 0 ? record.runCount : 0; // a withheld count sorts as 0
}

const wchar_t* pathPrefix(PathStatus status) {
    switch (status) {
    case PathStatus::VolumeNotIdentified:
        return L"(volume not identified)  ";
    case PathStatus::FolderIdUnresolved:
        return L"(folder id unresolved)  ";
    case PathStatus::SeveralPossiblePaths:
        return L"(several files carry this name)  ";
    default:
        return nullptr;
    }
}

} // namespace

std::wstring foldFilter(std::wstring_view typed) {
    return foldText(typed.substr(0, std::min(typed.size(), filterLimit)));
}

bool isShown(const LaunchRecord& record, std::wstring_view foldedFilter,
             const SourceToggles& showSource) {
    if (record.source->number < showSource.size() && !showSource[record.source->number]) {
        return false;
    }
    return foldedFilter.empty() || containsFolded(record.name, foldedFilter) ||
           containsFolded(record.path, foldedFilter);
}

bool compareRows(const RecordList& records, std::size_t a, std::size_t b, int sortColumn,
                 bool sortAscending) {
    const LaunchRecord& first = records[a];
    const LaunchRecord& second = records[b];
    int order = 0;
    switch (sortColumn) {
    case columnSource:
        order = orderOf(first.source->number, second.source->number);
        break;
    case columnName:
        order = compareFolded(first.name, second.name);
        break;
    case columnRuns:
        order = orderOf(shownCount(first), shownCount(second));
        break;
    case columnLastRun:
        // Records without a run time stay at the bottom in record order,
        // whichever the direction.
        if (first.runTimes.empty() != second.runTimes.empty()) {
            return !first.runTimes.empty();
        }
        if (first.runTimes.empty()) {
            return a < b;
        }
        order = orderOf(first.runTimes.front(), second.runTimes.front());
        break;
    case columnPath:
        order = orderOf(static_cast<std::uint32_t>(first.pathStatus),
                        static_cast<std::uint32_t>(second.pathStatus));
        if (order == 0) {
            order = compareFolded(first.path, second.path);
        }
        break;
    case columnUser:
        order = compareFolded(first.userSid, second.userSid);
        break;
    default:
        order = compareFolded(first.name, second.name);
        break;
    }
    if (order == 0) {
        order = compareFolded(first.name, second.name);
    }
    return sortAscending ? order < 0 : order > 0;
}

std::wstring columnTitle(int column, TimeBasis times) {
    if (column < 0 || column >= listColumnCount) {
        return {};
    }
    std::wstring title = listColumns[column].title;
    if (column == columnLastRun && times == TimeBasis::Utc) {
        title += L" (UTC)";
    }
    return title;
}

std::wstring cellText(const LaunchRecord& record, int column, TimeBasis times) {
    switch (column) {
    case columnSource:
        return record.source->word;
    case columnName:
        return record.name;
    case columnRuns:
        if (!record.source->countsRuns) {
            return {}; // the source counts no runs
        }
        return record.runCountKnown != 0 ? decimalText(record.runCount) : std::wstring(L"\u2014");
    case columnLastRun:
        if (!record.source->timesAreRuns) {
            return {}; // its times are not runs: they stand in the detail window
        }
        return record.runTimes.empty() ? std::wstring(L"not recorded")
                                       : formatTimestamp(record.runTimes.front(), times);
    case columnPath:
        if (record.pathStatus == PathStatus::Resolved) {
            return record.path;
        }
        if (const wchar_t* prefix = pathPrefix(record.pathStatus)) {
            return prefix + record.path;
        }
        return L"(no path recorded)";
    case columnUser:
        return record.userName.empty() ? record.userSid : record.userName;
    case columnDetail:
        return record.source->listDetail(record);
    default:
        return {};
    }
}

void applyColumnClick(ListState& state, int column) {
    if (column != state.sortColumn) {
        state.sortColumn = column;
        state.sortAscending = !(column == columnRuns || column == columnLastRun);
    } else {
        state.sortAscending = !state.sortAscending;
    }
}

void rebuildVisible(ListState& state, const RecordList& records, std::wstring_view foldedFilter) {
    state.visible.clear();
    state.visible.reserve(records.size());
    for (std::size_t index = 0; index < records.size(); ++index) {
        if (isShown(records[index], foldedFilter, state.showSource)) {
            state.visible.push_back(index);
        }
    }
    orderShownRows(state.ranks, records, state.sortColumn, state.sortAscending, state.visible);
}

void forgetRecords(ListState& state) {
    state.visible.clear();
    state.ranks = ListRanks{};
}

const LaunchRecord* recordAtRow(const ListState& state, const RecordList& records, long row) {
    if (row < 0 || static_cast<std::size_t>(row) >= state.visible.size()) {
        return nullptr;
    }
    const std::size_t index = state.visible[static_cast<std::size_t>(row)];
    return index < records.size() ? &records[index] : nullptr;
}

std::array<int, listColumnCount> fitColumnWidths(int clientWidth, int scrollBarWidth,
                                                 int (*scale)(int)) {
    std::array<int, listColumnCount> widths{};
    const int available = clientWidth - scrollBarWidth - scale(listMargin);
    const int room = scale(pathRoomAtLeast);
    int used = 0;
    for (int column = 0; column < listColumnCount; ++column) {
        if (column != columnPath) {
            widths[static_cast<std::size_t>(column)] = scale(listColumns[column].preferredWidth);
            used += widths[static_cast<std::size_t>(column)];
        }
    }
    for (int column : shrinkOrder) {
        if (available - used >= room) {
            break;
        }
        int& width = widths[static_cast<std::size_t>(column)];
        const int minimum = scale(listColumns[column].minimumWidth);
        if (width > minimum) {
            const int shrunk = std::max(minimum, width - (used + room - available));
            used -= width - shrunk;
            width = shrunk;
        }
    }
    widths[columnPath] = std::max(available - used, room);
    return widths;
}

} // namespace tidewell
