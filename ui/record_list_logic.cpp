#include "ui/record_list_logic.h"

#include <algorithm>

#include "platform/decimal_text.h"
#include "platform/text_fold.h"
#include "platform/text_format.h"
#include "platform/timestamp_format.h"

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

bool isPrefetch(const LaunchRecord& record) {
    return record.source == RecordSource::Prefetch;
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

bool isShown(const LaunchRecord& record, std::wstring_view foldedFilter, bool showPrefetch,
             bool showUserAssist) {
    if (isPrefetch(record) ? !showPrefetch : !showUserAssist) {
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
        order = orderOf(static_cast<std::uint32_t>(first.source),
                        static_cast<std::uint32_t>(second.source));
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
        return isPrefetch(record) ? L"Prefetch" : L"UserAssist";
    case columnName:
        return record.name;
    case columnRuns:
        return record.runCountKnown != 0 ? decimalText(record.runCount) : std::wstring(L"\u2014");
    case columnLastRun:
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
        if (isPrefetch(record)) {
            return L"v" + decimalText(record.formatVersion) + L", " +
                   decimalText(record.referencedFiles.size()) + L" files";
        }
        if (record.runCount == 0 && record.focusCount == 0 && record.focusMilliseconds == 0 &&
            !record.runTimes.empty()) {
            return L"no counted launch";
        }
        if (record.hasFocus == 0) {
            return {};
        }
        return L"focus " + fixedText(record.focusMilliseconds / 1000.0, 0) + L" s";
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

namespace {

// The folded texts a sort compares, copied once per refresh into one
// buffer, and the sort's view of one visible record: its column key and the
// first eight folded units of each text packed into two numbers. Most
// comparisons end on those numbers without leaving the entries, which lie
// side by side; only equal prefixes read on into the buffer. The order is
// exactly compareRows's.
struct FoldedText {
    std::uint64_t prefix = 0; // folded units 0 to 3, the first most significant
    std::uint64_t next = 0;   // folded units 4 to 7
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

struct SortEntry {
    std::uint64_t key = 0;
    FoldedText text; // the column's text (Path, User), else empty
    FoldedText name; // the tie-break (not folded for Last run, whose ties are rare)
    std::uint32_t index = 0;
    bool noRunTime = false;
};

FoldedText addFolded(std::vector<std::uint16_t>& buffer, const std::wstring& text) {
    FoldedText folded;
    folded.offset = static_cast<std::uint32_t>(buffer.size());
    folded.length = static_cast<std::uint32_t>(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<std::uint16_t>(foldAscii(text[i]));
        buffer.push_back(unit);
        if (i < 4) {
            folded.prefix |= static_cast<std::uint64_t>(unit) << (48 - 16 * i);
        } else if (i < 8) {
            folded.next |= static_cast<std::uint64_t>(unit) << (48 - 16 * (i - 4));
        }
    }
    return folded;
}

int compareFoldedTexts(const std::vector<std::uint16_t>& buffer, const FoldedText& a,
                       const FoldedText& b) {
    // Shorter texts are padded with zero units, the smallest there is, so the
    // packed units already order texts that differ in their first eight.
    if (a.prefix != b.prefix) {
        return a.prefix < b.prefix ? -1 : 1;
    }
    if (a.next != b.next) {
        return a.next < b.next ? -1 : 1;
    }
    const std::uint16_t* x = buffer.data() + a.offset;
    const std::uint16_t* y = buffer.data() + b.offset;
    const std::uint32_t common = std::min(a.length, b.length);
    for (std::uint32_t i = 8; i < common; ++i) {
        if (x[i] != y[i]) {
            return static_cast<int>(x[i]) - static_cast<int>(y[i]);
        }
    }
    return a.length == b.length ? 0 : (a.length < b.length ? -1 : 1);
}

SortEntry sortEntry(const LaunchRecord& record, std::size_t index, int column,
                    std::vector<std::uint16_t>& buffer) {
    SortEntry entry;
    entry.index = static_cast<std::uint32_t>(index);
    if (column != columnLastRun) {
        entry.name = addFolded(buffer, record.name);
    }
    switch (column) {
    case columnSource:
        entry.key = static_cast<std::uint32_t>(record.source);
        break;
    case columnRuns:
        entry.key = shownCount(record);
        break;
    case columnLastRun:
        entry.noRunTime = record.runTimes.empty();
        entry.key = entry.noRunTime ? 0 : record.runTimes.front();
        break;
    case columnPath:
        entry.key = static_cast<std::uint32_t>(record.pathStatus);
        entry.text = addFolded(buffer, record.path);
        break;
    case columnUser:
        entry.text = addFolded(buffer, record.userSid);
        break;
    default:
        break; // Name, Detail and anything else sort by the name alone
    }
    return entry;
}

} // namespace

void rebuildVisible(ListState& state, const RecordList& records, std::wstring_view foldedFilter) {
    const int column = state.sortColumn;
    const bool ascending = state.sortAscending;
    std::vector<std::uint16_t> buffer;
    std::vector<SortEntry> entries;
    entries.reserve(records.size());
    buffer.reserve(column == columnLastRun ? 0 : records.size() * 24);
    for (std::size_t index = 0; index < records.size(); ++index) {
        if (isShown(records[index], foldedFilter, state.showPrefetch, state.showUserAssist)) {
            entries.push_back(sortEntry(records[index], index, column, buffer));
        }
    }
    const bool textKey = column == columnPath || column == columnUser;
    std::sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) {
        if (column == columnLastRun && (a.noRunTime || b.noRunTime)) {
            // Without a run time: at the bottom, in record order, either way.
            return a.noRunTime == b.noRunTime ? a.index < b.index : !a.noRunTime;
        }
        int order = a.key < b.key ? -1 : (a.key > b.key ? 1 : 0);
        if (order == 0 && textKey) {
            order = compareFoldedTexts(buffer, a.text, b.text);
        }
        if (order == 0) {
            order = column == columnLastRun
                        ? compareFolded(records[a.index].name, records[b.index].name)
                        : compareFoldedTexts(buffer, a.name, b.name);
        }
        return ascending ? order < 0 : order > 0;
    });
    state.visible.clear();
    state.visible.reserve(entries.size());
    for (const SortEntry& entry : entries) {
        state.visible.push_back(entry.index);
    }
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
