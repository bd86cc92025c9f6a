#include "ui/list_order.h"

#include <algorithm>

#include "platform/text_fold.h"
#include "ui/record_list_logic.h"
#include "ui/text_ranks.h"

namespace tidewell {

namespace {

constexpr std::size_t nameSlot = 1;
// The Last run rank of a record without a run time: after all, either way.
constexpr std::uint32_t noRunTime = 0xFFFFFFFF;

std::size_t orderSlot(int column) {
    switch (column) {
    case columnSource:
        return 0;
    case columnRuns:
        return 2;
    case columnLastRun:
        return 3;
    case columnPath:
        return 4;
    case columnUser:
        return 5;
    default:
        return nameSlot; // Name, Detail and anything else sort by the name alone
    }
}

const std::wstring* columnText(const LaunchRecord& record, int column) {
    switch (column) {
    case columnPath:
        return &record.path;
    case columnUser:
        return &record.userSid;
    default:
        return nullptr;
    }
}

std::uint64_t columnKey(const LaunchRecord& record, int column) {
    switch (column) {
    case columnSource:
        return static_cast<std::uint32_t>(record.source);
    case columnRuns:
        return record.runCountKnown != 0 ? record.runCount : 0; // withheld sorts as 0
    case columnPath:
        return static_cast<std::uint32_t>(record.pathStatus);
    default:
        return 0;
    }
}

std::vector<std::uint32_t> textRanks(const RecordList& records, int column) {
    std::vector<const std::wstring*> texts;
    texts.reserve(records.size());
    for (const LaunchRecord& record : records) {
        const std::wstring* text = columnText(record, column);
        texts.push_back(text != nullptr ? text : &record.name);
    }
    return rankFoldedTexts(texts);
}

// One record's place as compareRows sees it: the column's key, then the
// rank of its text above the rank of its name.
struct RankEntry {
    std::uint64_t key = 0;
    std::uint64_t texts = 0;
    std::uint32_t index = 0;
};

// Hands out dense ranks along entries already in order; same says which
// neighbours compareRows calls equal. A record without an entry keeps the
// rank it is given here (unranked).
template <typename Same>
void assignRanks(const std::vector<RankEntry>& entries, Same same, std::size_t recordCount,
                 std::uint32_t unranked, std::vector<std::uint32_t>& ranks) {
    ranks.assign(recordCount, unranked);
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i != 0 && !same(entries[i - 1], entries[i])) {
            ++rank;
        }
        ranks[entries[i].index] = rank;
    }
}

// The column's order over every record, as ranks: the key, the column's
// text (Path, User), then the name, by their own ranks.
void rankColumn(const RecordList& records, int column, const std::vector<std::uint32_t>& names,
                std::vector<std::uint32_t>& ranks) {
    const std::vector<std::uint32_t> texts = columnText(LaunchRecord{}, column) != nullptr
                                                 ? textRanks(records, column)
                                                 : std::vector<std::uint32_t>();
    std::vector<RankEntry> entries(records.size());
    for (std::size_t index = 0; index < records.size(); ++index) {
        RankEntry& entry = entries[index];
        entry.index = static_cast<std::uint32_t>(index);
        entry.key = columnKey(records[index], column);
        entry.texts = (texts.empty() ? 0 : std::uint64_t{texts[index]} << 32) | names[index];
    }
    std::sort(entries.begin(), entries.end(), [](const RankEntry& a, const RankEntry& b) {
        return a.key != b.key ? a.key < b.key : a.texts < b.texts;
    });
    assignRanks(
        entries,
        [](const RankEntry& a, const RankEntry& b) { return a.key == b.key && a.texts == b.texts; },
        records.size(), 0, ranks);
}

// The Last run order: by the time, and only where two times are equal (it
// is rare) by the names themselves, so that the first order after a scan
// needs no ranking of the names. Records without a run time all go after
// the rest in record order, so they are left out of the sort (among them
// every key is equal and every comparison would fall to the names).
void rankLastRun(const RecordList& records, std::vector<std::uint32_t>& ranks) {
    std::vector<RankEntry> entries;
    entries.reserve(records.size());
    for (std::size_t index = 0; index < records.size(); ++index) {
        if (!records[index].runTimes.empty()) {
            RankEntry entry;
            entry.index = static_cast<std::uint32_t>(index);
            entry.key = records[index].runTimes.front();
            entries.push_back(entry);
        }
    }
    const auto names = [&records](const RankEntry& a, const RankEntry& b) {
        return compareFolded(records[a.index].name, records[b.index].name);
    };
    std::sort(entries.begin(), entries.end(), [&names](const RankEntry& a, const RankEntry& b) {
        return a.key != b.key ? a.key < b.key : names(a, b) < 0;
    });
    assignRanks(
        entries,
        [&names](const RankEntry& a, const RankEntry& b) {
            return a.key == b.key && names(a, b) == 0;
        },
        records.size(), noRunTime, ranks);
}

const std::vector<std::uint32_t>& ranksFor(ListRanks& ranks, const RecordList& records,
                                           int column) {
    std::vector<std::uint32_t>& slot = ranks.byOrder[orderSlot(column)];
    if (slot.size() == records.size()) {
        return slot;
    }
    if (orderSlot(column) == nameSlot) {
        slot = textRanks(records, columnName); // the name alone
    } else if (column == columnLastRun) {
        rankLastRun(records, slot);
    } else {
        rankColumn(records, column, ranksFor(ranks, records, columnName), slot);
    }
    return slot;
}

} // namespace

void orderShownRows(ListRanks& ranks, const RecordList& records, int column, bool ascending,
                    std::vector<std::size_t>& shown) {
    const std::vector<std::uint32_t>& rank = ranksFor(ranks, records, column);
    // Each row's place: its rank, turned round for a descending order, and
    // after every rank for a row without a run time in the Last run order.
    // The rows come in record order and a counting sort keeps it among equal
    // places, so equal rows stay in record order and the order costs two
    // passes, whatever the column.
    const std::size_t lastPlace = records.size();
    std::vector<std::uint32_t> places(shown.size());
    std::vector<std::uint32_t> counts(lastPlace + 2, 0);
    for (std::size_t row = 0; row < shown.size(); ++row) {
        const std::size_t index = shown[row];
        const std::uint32_t r = rank[index];
        const std::size_t place = r == noRunTime ? lastPlace : (ascending ? r : lastPlace - 1 - r);
        places[row] = static_cast<std::uint32_t>(place);
        ++counts[place + 1];
    }
    for (std::size_t place = 1; place < counts.size(); ++place) {
        counts[place] += counts[place - 1];
    }
    std::vector<std::size_t> ordered(shown.size());
    for (std::size_t row = 0; row < shown.size(); ++row) {
        ordered[counts[places[row]]++] = shown[row];
    }
    shown.swap(ordered);
}

} // namespace tidewell
