#include "ui/list_order.h"

#include <algorithm>

#include "platform/text_fold.h"
#include "ui/radix_order.h"
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
        return record.source->number;
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

// A record's index and its sort key packed into 64 bits (a time, or two
// 32-bit parts: a key or a place above a rank).
struct PackedEntry {
    std::uint64_t key = 0;
    std::uint32_t index = 0;
};

// Dense ranks along entries sorted by their keys: equal keys, equal ranks.
void ranksAlong(const std::vector<PackedEntry>& entries, std::vector<std::uint32_t>& out) {
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        rank += i != 0 && entries[i].key != entries[i - 1].key ? 1 : 0;
        out[entries[i].index] = rank;
    }
}

// Beyond this share of records tied on the column's own place, ranking
// every name costs less than comparing the tied names.
constexpr std::size_t namesRankedBeyond = 16; // one in sixteen

const std::vector<std::uint32_t>& ranksFor(ListRanks& ranks, const RecordList& records, int column);

// Hands out dense ranks along entries sorted by their key, breaking ties
// by the name as compareRows does: by the names' ranks where they are at
// hand or the ties are many, otherwise by comparing the tied names. A
// record without an entry keeps the rank unranked.
void rankWithNames(ListRanks& ranks, const RecordList& records, std::vector<PackedEntry>& entries,
                   std::uint32_t unranked, std::vector<std::uint32_t>& out) {
    std::size_t tied = 0;
    for (std::size_t begin = 0, end = 0; begin < entries.size(); begin = end) {
        end = begin + 1;
        while (end < entries.size() && entries[end].key == entries[begin].key) {
            ++end;
        }
        tied += end - begin > 1 ? end - begin : 0;
    }
    const bool byNameRanks = ranks.byOrder[nameSlot].size() == records.size() ||
                             tied > records.size() / namesRankedBeyond;
    out.assign(records.size(), unranked);
    std::vector<PackedEntry> scratch;
    if (byNameRanks) {
        // One more sort of them all: by the place among the groups, then by
        // the name's rank (both below the number of records, so that the two
        // fit in 64 bits).
        const std::vector<std::uint32_t>& names = ranksFor(ranks, records, columnName);
        std::uint64_t group = 0;
        std::uint64_t previous = entries.empty() ? 0 : entries.front().key;
        for (PackedEntry& entry : entries) {
            group += entry.key != previous ? 1 : 0;
            previous = entry.key;
            entry.key = group;
        }
        for (PackedEntry& entry : entries) {
            entry.key = entry.key << 32 | names[entry.index];
        }
        radixOrderByKey(entries, 0, entries.size(), scratch);
        ranksAlong(entries, out);
        return;
    }
    std::uint32_t rank = 0;
    for (std::size_t begin = 0, end = 0; begin < entries.size(); begin = end) {
        end = begin + 1;
        while (end < entries.size() && entries[end].key == entries[begin].key) {
            ++end;
        }
        if (end - begin == 1) {
            out[entries[begin].index] = rank++;
            continue;
        }
        // Few ties: the tied names compared outright.
        const auto first = entries.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto last = entries.begin() + static_cast<std::ptrdiff_t>(end);
        const auto nameOf = [&records](const PackedEntry& entry) -> const std::wstring& {
            return records[entry.index].name;
        };
        std::sort(first, last, [&nameOf](const PackedEntry& a, const PackedEntry& b) {
            return compareFolded(nameOf(a), nameOf(b)) < 0;
        });
        for (auto entry = first; entry != last; ++entry) {
            rank +=
                entry != first && compareFolded(nameOf(*(entry - 1)), nameOf(*entry)) != 0 ? 1 : 0;
            out[entry->index] = rank;
        }
        ++rank;
    }
}

// Dense ranks of the pairs (first[i], second[i]) in the order of first,
// then second, counted in a table of every pair there could be; false,
// with nothing done, where that table would be larger than the work saved.
bool rankPairsByTable(const std::vector<std::uint32_t>& first, std::size_t firstCount,
                      const std::vector<std::uint32_t>& second, std::size_t secondCount,
                      std::vector<std::uint32_t>& out) {
    const std::size_t count = first.size();
    const std::uint64_t cells = std::uint64_t{firstCount} * secondCount;
    if (cells > 16 * std::uint64_t{count} + 65536) {
        return false;
    }
    // One past each pair's rank, 0 for a pair no record has.
    std::vector<std::uint32_t> table(static_cast<std::size_t>(cells), 0);
    const auto cell = [&](std::size_t i) {
        return std::size_t{first[i]} * secondCount + (second.empty() ? 0 : second[i]);
    };
    for (std::size_t i = 0; i < count; ++i) {
        table[cell(i)] = 1;
    }
    std::uint32_t next = 0;
    for (std::uint32_t& slot : table) {
        slot = slot != 0 ? ++next : 0;
    }
    out.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = table[cell(i)] - 1;
    }
    return true;
}

// Dense ranks of the pairs by sorting them, where a table would be too big.
void rankPairsBySorting(const std::vector<std::uint32_t>& first,
                        const std::vector<std::uint32_t>& second, std::vector<std::uint32_t>& out) {
    std::vector<PackedEntry> entries(first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        entries[i].key = std::uint64_t{first[i]} << 32 | (second.empty() ? 0 : second[i]);
        entries[i].index = static_cast<std::uint32_t>(i);
    }
    std::vector<PackedEntry> scratch;
    radixOrderByKey(entries, 0, entries.size(), scratch);
    out.resize(first.size());
    ranksAlong(entries, out);
}

std::size_t rankCount(const std::vector<std::uint32_t>& ranks) {
    return ranks.empty() ? 0 : std::size_t{*std::max_element(ranks.begin(), ranks.end())} + 1;
}

// Dense ranks of pairs of dense ranks (each below the number of records)
// by two stable counting sorts, the second member first.
void rankDensePairs(const std::vector<std::uint32_t>& first,
                    const std::vector<std::uint32_t>& second, std::vector<std::uint32_t>& out) {
    const std::size_t count = first.size();
    std::vector<std::uint32_t> bySecond(count);
    std::vector<std::uint32_t> byBoth(count);
    const auto countingSort = [count](const std::vector<std::uint32_t>& keys,
                                      const std::vector<std::uint32_t>* in,
                                      std::vector<std::uint32_t>& sorted) {
        std::vector<std::uint32_t> starts(rankCount(keys) + 1, 0);
        for (std::uint32_t key : keys) {
            ++starts[key + 1];
        }
        for (std::size_t key = 1; key < starts.size(); ++key) {
            starts[key] += starts[key - 1];
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t index = in != nullptr ? (*in)[i] : static_cast<std::uint32_t>(i);
            sorted[starts[keys[index]]++] = index;
        }
    };
    countingSort(second, nullptr, bySecond);
    countingSort(first, &bySecond, byBoth);
    out.resize(count);
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t index = byBoth[i];
        if (i != 0) {
            const std::uint32_t before = byBoth[i - 1];
            rank += first[before] != first[index] || second[before] != second[index] ? 1 : 0;
        }
        out[index] = rank;
    }
}

void rankPairs(const std::vector<std::uint32_t>& first, const std::vector<std::uint32_t>& second,
               std::vector<std::uint32_t>& out) {
    if (!rankPairsByTable(first, rankCount(first), second, rankCount(second), out)) {
        rankDensePairs(first, second, out);
    }
}

// Breaks the ties among records of equal place by their names, compared
// outright: for a few ties, where ranking every name would cost more.
void breakFewTies(const RecordList& records, const std::vector<std::uint32_t>& places,
                  std::vector<std::uint32_t>& out) {
    const std::size_t placeCount = rankCount(places);
    std::vector<std::uint32_t> members(placeCount, 0);
    for (std::uint32_t place : places) {
        ++members[place];
    }
    std::vector<std::uint32_t> tied;
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (members[places[i]] > 1) {
            tied.push_back(static_cast<std::uint32_t>(i));
        }
    }
    std::sort(tied.begin(), tied.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (places[a] != places[b]) {
            return places[a] < places[b];
        }
        const int names = compareFolded(records[a].name, records[b].name);
        return names != 0 ? names < 0 : a < b;
    });
    // Each place's extra ranks (one per further distinct name), then the
    // ranks before each place.
    std::vector<std::uint32_t> extra(placeCount + 1, 0);
    std::vector<std::uint32_t> within(places.size(), 0);
    for (std::size_t t = 1; t < tied.size(); ++t) {
        const std::uint32_t a = tied[t - 1];
        const std::uint32_t b = tied[t];
        if (places[a] == places[b]) {
            const bool differ = compareFolded(records[a].name, records[b].name) != 0;
            within[b] = within[a] + (differ ? 1 : 0);
            extra[places[b] + 1] += differ ? 1 : 0;
        }
    }
    for (std::size_t place = 1; place <= placeCount; ++place) {
        extra[place] += extra[place - 1];
    }
    out.resize(places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        out[i] = places[i] + extra[places[i]] + within[i];
    }
}

// The column's order over every record, as ranks: the key, the column's
// text (Path, User), then the name.
void rankColumn(ListRanks& ranks, const RecordList& records, int column,
                std::vector<std::uint32_t>& out) {
    std::vector<std::uint32_t> keys(records.size());
    std::uint64_t largestKey = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::uint64_t key = columnKey(records[i], column);
        keys[i] = static_cast<std::uint32_t>(key); // every key is 32-bit
        largestKey = std::max(largestKey, key);
    }
    const std::vector<std::uint32_t> texts = columnText(LaunchRecord{}, column) != nullptr
                                                 ? textRanks(records, column)
                                                 : std::vector<std::uint32_t>();
    // Each record's place by the key and the text alone.
    std::vector<std::uint32_t> places;
    if (!rankPairsByTable(keys, static_cast<std::size_t>(largestKey) + 1, texts,
                          texts.empty() ? 1 : rankCount(texts), places)) {
        rankPairsBySorting(keys, texts, places);
    }
    keys = {};
    const std::size_t placeCount = rankCount(places);
    const std::size_t tied = records.size() - placeCount; // at least half the tied records
    if (tied == 0) {
        out = std::move(places);
    } else if (ranks.byOrder[nameSlot].size() == records.size() ||
               tied > records.size() / namesRankedBeyond) {
        rankPairs(places, ranksFor(ranks, records, columnName), out);
    } else {
        breakFewTies(records, places, out);
    }
}

// The Last run order: by the time, then the name. Records without a run
// time all go after the rest in record order, so they are left out.
void rankLastRun(ListRanks& ranks, const RecordList& records, std::vector<std::uint32_t>& out) {
    std::vector<PackedEntry> entries;
    entries.reserve(records.size());
    for (std::size_t index = 0; index < records.size(); ++index) {
        if (!records[index].runTimes.empty()) {
            entries.push_back({records[index].runTimes.front(), static_cast<std::uint32_t>(index)});
        }
    }
    std::vector<PackedEntry> scratch;
    radixOrderByKey(entries, 0, entries.size(), scratch);
    rankWithNames(ranks, records, entries, noRunTime, out);
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
        rankLastRun(ranks, records, slot);
    } else {
        rankColumn(ranks, records, column, slot);
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
