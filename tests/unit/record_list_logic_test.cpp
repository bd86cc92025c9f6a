// The record list without its control: visibility, order, cell text, header
// clicks and column widths.
#include "ui/record_list_logic.h"

#include <gtest/gtest.h>

#include "support/record_details.h"

#include "core/record_source.h"
#include "platform/dpi_scale.h"
#include "platform/filetime.h"
#include "prefetch/prefetch_source.h"
#include "scan/source_table.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

// Prefetch's and UserAssist's toggles as given, every other source's shown.
SourceToggles toggles(bool prefetch, bool userAssist) {
    SourceToggles shown = allSourcesShown();
    shown[prefetchSource.number] = prefetch;
    shown[userAssistSource.number] = userAssist;
    return shown;
}

LaunchRecord prefetchRecord(const std::wstring& name, std::vector<FileTime> runs = {},
                            std::uint32_t count = 1) {
    LaunchRecord record = makeRecord(prefetchSource);
    record.name = name;
    record.runTimes = std::move(runs);
    record.runCount = count;
    record.runCountKnown = 1;
    testing::prefetchOf(record).formatVersion = 30;
    return record;
}

LaunchRecord userAssistRecord(const std::wstring& name, const std::wstring& sid,
                              std::vector<FileTime> runs = {}) {
    LaunchRecord record = makeRecord(userAssistSource);
    record.name = name;
    record.userSid = sid;
    record.runTimes = std::move(runs);
    record.runCountKnown = 1;
    testing::userAssistOf(record).hasFocus = 1;
    return record;
}

std::vector<std::wstring> namesInOrder(const RecordList& records, int column, bool ascending,
                                       std::wstring_view filter = L"") {
    ListState state;
    state.sortColumn = column;
    state.sortAscending = ascending;
    rebuildVisible(state, records, foldFilter(filter));
    std::vector<std::wstring> names;
    for (std::size_t index : state.visible) {
        names.push_back(records[index].name);
    }
    return names;
}

TEST(ListVisibility, TogglesHideAWholeSource) {
    const LaunchRecord prefetch = prefetchRecord(L"a.exe");
    const LaunchRecord shell = userAssistRecord(L"b.exe", L"S-1");
    EXPECT_TRUE(isShown(prefetch, L"", toggles(true, true)));
    EXPECT_TRUE(isShown(shell, L"", toggles(true, true)));
    EXPECT_FALSE(isShown(prefetch, L"", toggles(false, true)));
    EXPECT_TRUE(isShown(shell, L"", toggles(false, true)));
    EXPECT_FALSE(isShown(shell, L"", toggles(true, false)));
    // Every other source has a toggle of its own.
    const LaunchRecord other = makeRecord(*tableSources().back());
    EXPECT_TRUE(isShown(other, L"", toggles(false, false)));
    SourceToggles hidden = allSourcesShown();
    hidden[tableSources().back()->number] = false;
    EXPECT_FALSE(isShown(other, L"", hidden));
    EXPECT_TRUE(isShown(prefetch, L"", hidden));
}

TEST(ListVisibility, TheFilterSearchesNameAndPathOnly) {
    LaunchRecord byName = prefetchRecord(L"notepad.exe");
    LaunchRecord byPath = userAssistRecord(L"shortcut", L"S-1-5-21-EXE");
    byPath.path = L"C:\\Windows\\NOTEPAD.EXE";
    byPath.userName = L"exeuser";
    const std::wstring filter = foldFilter(L"EXE");
    EXPECT_TRUE(isShown(byName, filter, toggles(true, true)));
    EXPECT_TRUE(isShown(byPath, filter, toggles(true, true)));
    LaunchRecord other = userAssistRecord(L"tool", L"S-1-5-21-EXE");
    other.userName = L"exe";
    EXPECT_FALSE(isShown(other, filter, toggles(true, true)))
        << "the user, source and detail are not searched";
    EXPECT_FALSE(isShown(other, foldFilter(L"UserAssist"), toggles(true, true)));
    // An accented capital does not match its small letter.
    const LaunchRecord accented = prefetchRecord(L"caf\x00E9.exe");
    EXPECT_FALSE(isShown(accented, foldFilter(L"CAF\x00C9"), toggles(true, true)));
    EXPECT_TRUE(isShown(accented, foldFilter(L"CAF\x00E9"), toggles(true, true)));
    // Only 255 characters of the filter count.
    EXPECT_EQ(foldFilter(std::wstring(300, L'A')).size(), 255u);
}

TEST(ListOrder, LastRunNewestFirstWithoutRunTimesAtTheBottomInRecordOrder) {
    const RecordList records = {prefetchRecord(L"none1"), prefetchRecord(L"old", {100}),
                                prefetchRecord(L"none2"), prefetchRecord(L"new", {300}),
                                userAssistRecord(L"mid", L"S", {200})};
    EXPECT_EQ(namesInOrder(records, columnLastRun, false),
              (std::vector<std::wstring>{L"new", L"mid", L"old", L"none1", L"none2"}));
    EXPECT_EQ(namesInOrder(records, columnLastRun, true),
              (std::vector<std::wstring>{L"old", L"mid", L"new", L"none1", L"none2"}));
}

TEST(ListOrder, EqualKeysAreOrderedByNameInTheSortDirection) {
    const RecordList records = {prefetchRecord(L"b", {100}), prefetchRecord(L"A", {100})};
    EXPECT_EQ(namesInOrder(records, columnLastRun, true), (std::vector<std::wstring>{L"A", L"b"}));
    EXPECT_EQ(namesInOrder(records, columnLastRun, false), (std::vector<std::wstring>{L"b", L"A"}));
}

TEST(ListOrder, RunsWithWithheldCountsSortingAsZero) {
    RecordList records = {prefetchRecord(L"three", {}, 3), prefetchRecord(L"nine", {}, 9),
                          prefetchRecord(L"withheld", {}, 50), prefetchRecord(L"zero", {}, 0)};
    records[2].runCountKnown = 0;
    EXPECT_EQ(namesInOrder(records, columnRuns, false),
              (std::vector<std::wstring>{L"nine", L"three", L"zero", L"withheld"}));
    EXPECT_EQ(cellText(records[2], columnRuns), L"\u2014");
    EXPECT_EQ(cellText(records[0], columnRuns), L"3");
}

TEST(ListOrder, PathGroupsByStatusThenPath) {
    RecordList records;
    const std::pair<std::uint32_t, const wchar_t*> rows[] = {
        {4, L"none"},   {3, L"several"}, {0, L"c:\\b"}, {2, L"folder"},
        {1, L"volume"}, {0, L"C:\\a"},   {7, L"seven"}};
    for (const auto& [status, path] : rows) {
        LaunchRecord record = prefetchRecord(path);
        record.pathStatus = static_cast<PathStatus>(status);
        record.path = path;
        records.push_back(record);
    }
    EXPECT_EQ(namesInOrder(records, columnPath, true),
              (std::vector<std::wstring>{L"C:\\a", L"c:\\b", L"volume", L"folder", L"several",
                                         L"none", L"seven"}));
}

TEST(ListOrder, UserSortsBySidTextWhateverTheCellShows) {
    RecordList records = {userAssistRecord(L"z", L"S-1-5-21-2"), prefetchRecord(L"p2"),
                          userAssistRecord(L"y", L"S-1-5-21-1"), prefetchRecord(L"p1")};
    records[0].userName = L"aaron"; // shown, but the SID decides
    EXPECT_EQ(namesInOrder(records, columnUser, true),
              (std::vector<std::wstring>{L"p1", L"p2", L"y", L"z"}));
    EXPECT_EQ(cellText(records[0], columnUser), L"aaron");
    EXPECT_EQ(cellText(records[2], columnUser), L"S-1-5-21-1");
    EXPECT_EQ(cellText(records[1], columnUser), L"");
}

TEST(ListOrder, SourceNameAndDetail) {
    const RecordList records = {userAssistRecord(L"b", L"S"), prefetchRecord(L"C"),
                                prefetchRecord(L"a")};
    EXPECT_EQ(namesInOrder(records, columnSource, true),
              (std::vector<std::wstring>{L"a", L"C", L"b"}));
    EXPECT_EQ(namesInOrder(records, columnName, true),
              (std::vector<std::wstring>{L"a", L"b", L"C"}));
    EXPECT_EQ(namesInOrder(records, columnDetail, false),
              (std::vector<std::wstring>{L"C", L"b", L"a"}));
}

TEST(ListHeaderClicks, NewColumnsStartByKindAndTheSameColumnReverses) {
    ListState state;
    EXPECT_EQ(state.sortColumn, columnLastRun);
    EXPECT_FALSE(state.sortAscending);
    applyColumnClick(state, columnRuns);
    EXPECT_EQ(state.sortColumn, columnRuns);
    EXPECT_FALSE(state.sortAscending) << "largest counts first";
    applyColumnClick(state, columnRuns);
    EXPECT_TRUE(state.sortAscending);
    applyColumnClick(state, columnName);
    EXPECT_TRUE(state.sortAscending) << "texts from A";
    applyColumnClick(state, columnLastRun);
    EXPECT_FALSE(state.sortAscending);
}

TEST(ListCells, TextPerColumn) {
    LaunchRecord record = prefetchRecord(L"NOTEPAD.EXE");
    testing::prefetchOf(record).referencedFiles = {L"a", L"b", L"c"};
    EXPECT_EQ(cellText(record, columnSource), L"Prefetch");
    EXPECT_EQ(cellText(record, columnLastRun), L"not recorded");
    EXPECT_EQ(cellText(record, columnDetail), L"v30, 3 files");
    const std::pair<std::uint32_t, const wchar_t*> paths[] = {
        {0, L"X"},
        {1, L"(volume not identified)  X"},
        {2, L"(folder id unresolved)  X"},
        {3, L"(several files carry this name)  X"},
        {4, L"(no path recorded)"},
        {7, L"(no path recorded)"}};
    record.path = L"X";
    for (const auto& [status, text] : paths) {
        record.pathStatus = static_cast<PathStatus>(status);
        EXPECT_EQ(cellText(record, columnPath), text) << status;
    }

    LaunchRecord shell = userAssistRecord(L"app", L"S-1");
    EXPECT_EQ(cellText(shell, columnSource), L"UserAssist");
    shell.runTimes = {133500000000000000ULL};
    EXPECT_EQ(cellText(shell, columnDetail), L"no counted launch");
    shell.runCountKnown = 0; // not consulted
    EXPECT_EQ(cellText(shell, columnDetail), L"no counted launch");
    testing::userAssistOf(shell).focusCount = 1;
    testing::userAssistOf(shell).focusMilliseconds = 2500;
    EXPECT_EQ(cellText(shell, columnDetail), L"focus 2 s") << "2.5 rounds to even as printf does";
    testing::userAssistOf(shell).focusMilliseconds = 3500;
    EXPECT_EQ(cellText(shell, columnDetail), L"focus 4 s");
    testing::userAssistOf(shell).hasFocus = 0;
    EXPECT_EQ(cellText(shell, columnDetail), L"");
}

TEST(ListCells, InUtcTheLastRunIsTheStoredMomentAndItsTitleSaysSo) {
    // Half an hour before midnight UTC: another day in most zones east or west.
    const LaunchRecord record = prefetchRecord(L"LATE.EXE", {133498350000000000ULL});
    EXPECT_EQ(cellText(record, columnLastRun, TimeBasis::Utc), L"2024-01-15 23:30:00");
    EXPECT_EQ(cellText(record, columnLastRun), formatTimestamp(133498350000000000ULL));
    EXPECT_EQ(cellText(record, columnName, TimeBasis::Utc), L"LATE.EXE");
    EXPECT_EQ(cellText(prefetchRecord(L"X"), columnLastRun, TimeBasis::Utc), L"not recorded");

    EXPECT_EQ(columnTitle(columnLastRun, TimeBasis::Utc), L"Last run (UTC)");
    EXPECT_EQ(columnTitle(columnLastRun, TimeBasis::Local), L"Last run");
    for (int column = 0; column < listColumnCount; ++column) {
        if (column != columnLastRun) {
            EXPECT_EQ(columnTitle(column, TimeBasis::Utc), listColumns[column].title);
        }
    }
    EXPECT_EQ(columnTitle(listColumnCount, TimeBasis::Utc), L"");
    EXPECT_EQ(columnTitle(-1, TimeBasis::Local), L"");
}

TEST(ListRows, ARowThatNamesNoRecordIsRefused) {
    RecordList records = {prefetchRecord(L"a"), prefetchRecord(L"b")};
    ListState state;
    rebuildVisible(state, records, L"");
    // Without run times the rows keep record order.
    EXPECT_EQ(recordAtRow(state, records, 0)->name, L"a");
    EXPECT_EQ(recordAtRow(state, records, 1)->name, L"b");
    EXPECT_EQ(recordAtRow(state, records, -1), nullptr);
    EXPECT_EQ(recordAtRow(state, records, 2), nullptr);
    // A rescan empties the records before the list is rebuilt.
    records.clear();
    EXPECT_EQ(recordAtRow(state, records, 0), nullptr);
}

TEST(ListColumns, FittingShrinksInOrderAndGivesThePathWhatIsLeft) {
    setCurrentDpi(96);
    // Wide: preferred widths, the path takes the rest.
    std::array<int, listColumnCount> widths = fitColumnWidths(1200, 17, scaleForDpi);
    EXPECT_EQ(widths,
              (std::array<int, listColumnCount>{76, 190, 50, 132, 1200 - 17 - 8 - 678, 84, 146}));
    // Narrower: Detail gives up its space first, then User.
    widths = fitColumnWidths(800, 17, scaleForDpi);
    // 775 available, 678 used: Detail goes to its minimum (72), User to its
    // minimum (58), and Source gives the last 3 pixels.
    EXPECT_EQ(widths, (std::array<int, listColumnCount>{73, 190, 50, 132, 200, 58, 72}));
    // Very narrow: everything at its minimum, the path keeps 200.
    widths = fitColumnWidths(300, 17, scaleForDpi);
    EXPECT_EQ(widths, (std::array<int, listColumnCount>{62, 120, 50, 120, 200, 58, 72}));
    setCurrentDpi(192);
    widths = fitColumnWidths(300, 34, scaleForDpi);
    EXPECT_EQ(widths[columnPath], 400);
    forgetCurrentDpi();
}

} // namespace
} // namespace tidewell

namespace tidewell {
namespace {

// Records of every kind: of every source of the table, every path status
// and one beyond, withheld counts, no run time, equal
// times, names that differ only in case or past their eighth unit, users.
RecordList randomRecords(std::uint32_t seed, int count) {
    RecordList records;
    std::uint32_t state = seed;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 10;
    };
    const wchar_t* names[] = {
        L"a", L"A",  L"ab", L"Ab",        L"b",        L"\x00E9",         L"\x00C9",
        L"",  L"_x", L"z",  L"PROGRAM10", L"program1", L"PROGRAM1\x0001", L"C:\\Program Files\\V"};
    constexpr std::size_t nameCount = sizeof names / sizeof names[0];
    for (int i = 0; i < count; ++i) {
        LaunchRecord record = next() % 2 == 0 ? prefetchRecord(names[next() % nameCount])
                                              : userAssistRecord(names[next() % nameCount],
                                                                 names[next() % nameCount]);
        if (next() % 17 == 0) {
            record = makeRecord(*tableSources()[next() % tableSources().size()]);
            record.name = names[next() % nameCount];
        }
        record.path = std::wstring(names[next() % nameCount]) + names[next() % nameCount];
        record.pathStatus = static_cast<PathStatus>(next() % 6);
        record.runCount = next() % 4;
        record.runCountKnown = next() % 5 != 0 ? 1 : 0;
        if (next() % 3 != 0) {
            record.runTimes = {next() % 6, 1};
        }
        records.push_back(record);
    }
    return records;
}

void expectComparatorsOrder(const ListState& list, const RecordList& records,
                            std::size_t expectedRows) {
    ASSERT_EQ(list.visible.size(), expectedRows);
    for (std::size_t row = 1; row < list.visible.size(); ++row) {
        EXPECT_FALSE(compareRows(records, list.visible[row], list.visible[row - 1], list.sortColumn,
                                 list.sortAscending))
            << "column " << list.sortColumn << (list.sortAscending ? " ascending" : " descending")
            << " row " << row;
    }
    if (list.sortColumn == columnLastRun) {
        // Without a run time: last, in record order, whichever the direction.
        std::size_t firstWithout = list.visible.size();
        for (std::size_t row = 0; row < list.visible.size(); ++row) {
            if (records[list.visible[row]].runTimes.empty() &&
                firstWithout == list.visible.size()) {
                firstWithout = row;
            }
        }
        for (std::size_t row = firstWithout; row < list.visible.size(); ++row) {
            EXPECT_TRUE(records[list.visible[row]].runTimes.empty()) << row;
            if (row > firstWithout) {
                EXPECT_LT(list.visible[row - 1], list.visible[row]);
            }
        }
    }
}

// The refresh orders by ranks made once per column; its order must be the
// comparator's, column by column, in both directions, with the filter and
// the toggles, and for each scan's records anew.
TEST(ListOrder, TheRefreshOrdersRowsExactlyAsTheComparatorDoes) {
    ListState list; // one state for all, as the window keeps it
    for (std::uint32_t seed : {99u, 7u}) {
        const RecordList records = randomRecords(seed, 500);
        forgetRecords(list);
        for (int column = -1; column <= listColumnCount; ++column) {
            for (bool ascending : {false, true}) {
                list.sortColumn = column;
                list.sortAscending = ascending;
                rebuildVisible(list, records, L"");
                expectComparatorsOrder(list, records, records.size());
            }
        }
        // Fewer rows, the same ranks.
        list.showSource[userAssistSource.number] = false;
        std::size_t prefetchRows = 0; // every source's but UserAssist's
        for (const LaunchRecord& record : records) {
            prefetchRows += record.source != &userAssistSource ? 1 : 0;
        }
        for (int column : {columnName, columnPath, columnLastRun}) {
            list.sortColumn = column;
            rebuildVisible(list, records, L"");
            expectComparatorsOrder(list, records, prefetchRows);
        }
        list.showSource[userAssistSource.number] = true;
        list.sortColumn = columnPath;
        rebuildVisible(list, records, foldFilter(L"PROG"));
        std::size_t matching = 0;
        for (const LaunchRecord& record : records) {
            matching += isShown(record, foldFilter(L"PROG"), toggles(true, true)) ? 1 : 0;
        }
        expectComparatorsOrder(list, records, matching);
    }
}

// Mostly distinct paths and run times with a few ties among names that
// differ in case, run counts across the whole 32-bit range: the orders that
// break few ties name by name, and those whose keys are too wide to count
// in a table, each asked first in its scan and after the names.
TEST(ListOrder, RareTiesAndWideKeysOrderAsTheComparatorDoes) {
    RecordList records;
    std::uint32_t state = 5;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state;
    };
    for (int i = 0; i < 3000; ++i) {
        // A few share a path and a time with the record before, some under a
        // name that differs from its twin's, some under the same in other case.
        const int twin = i % 97 == 0 || i % 101 == 0 ? i - 1 : i;
        const int named = i % 97 == 0 ? twin : i;
        LaunchRecord record =
            prefetchRecord((i % 2 == 0 ? L"tool" : L"TOOL") + std::to_wstring(named % 500));
        record.path = L"C:\\Apps\\" + std::to_wstring(twin * 7) + L"\\tool.exe";
        record.pathStatus = static_cast<PathStatus>(twin % 3);
        record.runTimes = {133500000000000000ULL + static_cast<std::uint64_t>(twin) * 1000};
        record.runCount = next();
        records.push_back(record);
    }
    for (int column = 0; column < listColumnCount; ++column) {
        for (bool namesFirst : {false, true}) {
            ListState list;
            if (namesFirst) {
                list.sortColumn = columnName;
                rebuildVisible(list, records, L"");
            }
            for (bool ascending : {true, false}) {
                list.sortColumn = column;
                list.sortAscending = ascending;
                rebuildVisible(list, records, L"");
                expectComparatorsOrder(list, records, records.size());
            }
        }
    }
}

TEST(ListOrder, RanksAreMadeForOneScansRecords) {
    ListState list;
    list.sortColumn = columnName;
    list.sortAscending = true;
    RecordList first = {prefetchRecord(L"B"), prefetchRecord(L"A")};
    rebuildVisible(list, first, L"");
    EXPECT_EQ(list.visible, (std::vector<std::size_t>{1, 0}));
    // Another scan with as many records: forgotten first, as the window does.
    RecordList second = {prefetchRecord(L"A"), prefetchRecord(L"B")};
    forgetRecords(list);
    EXPECT_TRUE(list.visible.empty());
    rebuildVisible(list, second, L"");
    EXPECT_EQ(list.visible, (std::vector<std::size_t>{0, 1}));
    // A scan with another number of records is ranked afresh in any case.
    second.push_back(prefetchRecord(L"0"));
    rebuildVisible(list, second, L"");
    EXPECT_EQ(list.visible, (std::vector<std::size_t>{2, 0, 1}));
}

} // namespace
} // namespace tidewell
