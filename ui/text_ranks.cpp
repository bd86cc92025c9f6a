#include "ui/text_ranks.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "platform/text_fold.h"
#include "ui/radix_order.h"

namespace tidewell {

namespace {

// A distinct text's place in the sort at one step: its next units packed
// into 64 bits (zero units past its end, the smallest there are). Left
// without initial values: every one is written before it is read.
struct Item {
    std::uint64_t key;
    std::uint32_t offset; // of the text's length and folded units, in bytes
    std::uint32_t id;     // the distinct text's number
};

struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t step = 0;
};

// The distinct texts folded into one buffer, each as its length (four
// bytes) and its units in unitBytes bytes each (one where every unit of
// every text is below 256, as most are, so that a step takes eight units;
// two otherwise), most significant byte first, one after the other. A
// step's units are one eight-byte load, the bytes past the text masked off;
// the buffer keeps eight bytes to spare for the last text's load. Memory is
// never zeroed as a whole: fresh pages cost their first touch alone.
struct FoldedTexts {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t capacity = 0; // in bytes
    std::size_t used = 0;
    std::size_t unitBytes = 1;
    std::size_t unitsPerStep = 8;

    const std::uint8_t* text(const Item& item) const { return bytes.get() + item.offset + 4; }
    std::uint32_t length(const Item& item) const {
        std::uint32_t value = 0;
        std::memcpy(&value, bytes.get() + item.offset, sizeof value);
        return value;
    }
    std::uint64_t chunk(const Item& item, std::size_t from) const {
        const std::size_t size = length(item);
        if (from >= size) {
            return 0;
        }
        std::uint64_t loaded = 0;
        std::memcpy(&loaded, text(item) + unitBytes * from, sizeof loaded);
        if constexpr (std::endian::native == std::endian::little) {
            loaded = __builtin_bswap64(loaded);
        }
        const std::size_t left = size - from;
        return left >= unitsPerStep ? loaded
                                    : loaded & ~(~std::uint64_t{0} >> (8 * unitBytes * left));
    }
    // How many of the step's units the text has: a text ending here comes
    // before a longer one with the same units.
    std::size_t spanAt(const Item& item, std::size_t from) const {
        const std::size_t size = length(item);
        return std::min(size, from + unitsPerStep) - std::min(size, from);
    }
    bool samePlace(const Item& a, const Item& b, std::size_t from) const {
        return a.key == b.key && spanAt(a, from) == spanAt(b, from);
    }
};

// foldAscii on one unit as the 16-bit unit it is, without a branch.
std::uint32_t foldedUnit(wchar_t unit) {
    const std::uint32_t value = static_cast<std::uint16_t>(unit);
    return value + (value - L'A' < 26u ? 32u : 0u);
}

// Folds units into out one byte a unit; false where a unit is 256 or more.
// Eight units at a time in a loop of known length, which the compiler turns
// into vector instructions.
bool foldNarrow(const wchar_t* units, std::size_t size, std::uint8_t* out) {
    constexpr std::size_t block = 8;
    std::uint32_t wide = 0; // every unit's bits above the low eight, together
    std::size_t at = 0;
    for (; at + block <= size; at += block) {
        for (std::size_t i = 0; i < block; ++i) {
            const std::uint32_t value = foldedUnit(units[at + i]);
            wide |= value;
            out[at + i] = static_cast<std::uint8_t>(value);
        }
    }
    for (; at < size; ++at) {
        const std::uint32_t value = foldedUnit(units[at]);
        wide |= value;
        out[at] = static_cast<std::uint8_t>(value);
    }
    return (wide & 0xFF00u) == 0;
}

void foldWide(const wchar_t* units, std::size_t size, std::uint8_t* out) {
    for (std::size_t at = 0; at < size; ++at) {
        const std::uint32_t value = foldedUnit(units[at]);
        out[2 * at] = static_cast<std::uint8_t>(value >> 8);
        out[2 * at + 1] = static_cast<std::uint8_t>(value & 0xFF);
    }
}

std::uint64_t hashBytes(const std::uint8_t* bytes, std::size_t size) {
    std::uint64_t hash = 0x243F6A8885A308D3u ^ size;
    for (std::size_t at = 0; at < size; at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + at, std::min<std::size_t>(8, size - at));
        hash = (hash ^ word) * 0x9E3779B97F4A7C15u;
        hash ^= hash >> 29;
    }
    return hash;
}

// Names and users repeat from record to record; a text already folded is
// not kept twice. Where the texts turn out mostly distinct (paths), looking
// them up costs more than it saves and stops.
// The table starts small and doubles at half full, so that a few hundred
// distinct names are looked up in a table the cache holds.
struct DistinctTexts {
    std::vector<std::uint32_t> slots; // distinct number + 1, or 0 for an empty slot
    std::size_t mask = 0;
    bool looking = true;
};

void growDistinct(DistinctTexts& distinct, const FoldedTexts& folded,
                  const std::vector<Item>& items, std::size_t slotCount) {
    distinct.slots.assign(slotCount, 0);
    distinct.mask = slotCount - 1;
    for (const Item& item : items) {
        std::size_t slot = hashBytes(folded.bytes.get() + item.offset,
                                     4 + folded.unitBytes * folded.length(item)) &
                           distinct.mask;
        while (distinct.slots[slot] != 0) {
            slot = (slot + 1) & distinct.mask;
        }
        distinct.slots[slot] = item.id + 1;
    }
}

constexpr std::size_t distinctTrial = 4096;

// Folds every text in units of unitBytes, keeping each distinct text once:
// distinctOf gets each text's distinct number, items one entry per distinct
// text. False, at once, where a unit does not fit or the buffer would pass
// what an item can address. The buffer grows as it goes: a pass to size it
// first would read every record twice.
bool foldAll(const std::vector<const std::wstring*>& texts, std::size_t unitBytes,
             FoldedTexts& folded, std::vector<Item>& items,
             std::vector<std::uint32_t>& distinctOf) {
    constexpr std::size_t largest = 0xFFFFFFFFu;
    folded.unitBytes = unitBytes;
    folded.unitsPerStep = 8 / unitBytes;
    folded.used = 0;
    items.clear();
    DistinctTexts distinct;
    growDistinct(distinct, folded, items, 1024);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // The texts lie in records far apart: ask for them ahead of use.
        if (i + 48 < texts.size()) {
            __builtin_prefetch(texts[i + 48]);
        }
        if (i + 12 < texts.size()) {
            // Every cache line of the text's first 64 units (a path spans
            // several).
            const std::wstring& ahead = *texts[i + 12];
            const std::size_t unitsPerLine = 64 / sizeof(wchar_t);
            for (std::size_t at = 0; at < std::min<std::size_t>(ahead.size(), 64);
                 at += unitsPerLine) {
                __builtin_prefetch(ahead.data() + at);
            }
        }
        const std::wstring& text = *texts[i];
        // A record's text is far below 4 G units; one longer is ranked by
        // that many of its units.
        const std::size_t size = std::min<std::size_t>(text.size(), 0xFFFFFFFFu);
        const std::size_t needed = 4 + unitBytes * size;
        if (folded.used + needed + 8 > largest) {
            return false;
        }
        if (folded.used + needed + 8 > folded.capacity) {
            // Room for the usual text at once: pages not written are not
            // touched, and a buffer grown from small is copied again and again.
            const std::size_t capacity = std::max(
                {2 * folded.capacity, folded.used + needed + 8, texts.size() * 32 * unitBytes});
            std::unique_ptr<std::uint8_t[]> grown(new std::uint8_t[capacity]);
            if (folded.used != 0) {
                std::memcpy(grown.get(), folded.bytes.get(), folded.used);
            }
            folded.bytes = std::move(grown);
            folded.capacity = capacity;
        }
        std::uint8_t* out = folded.bytes.get() + folded.used;
        const auto length = static_cast<std::uint32_t>(size);
        std::memcpy(out, &length, sizeof length);
        if (unitBytes == 1) {
            if (!foldNarrow(text.data(), size, out + 4)) {
                return false;
            }
        } else {
            foldWide(text.data(), size, out + 4);
        }
        if (distinct.looking) {
            std::size_t slot = hashBytes(out, needed) & distinct.mask;
            bool found = false;
            while (distinct.slots[slot] != 0) {
                const Item& seen = items[distinct.slots[slot] - 1];
                if (std::memcmp(folded.bytes.get() + seen.offset, out, needed) == 0) {
                    distinctOf[i] = seen.id;
                    found = true;
                    break;
                }
                slot = (slot + 1) & distinct.mask;
            }
            if (found) {
                continue; // the folded copy is written over by the next text
            }
            distinct.slots[slot] = static_cast<std::uint32_t>(items.size() + 1);
        }
        const auto id = static_cast<std::uint32_t>(items.size());
        items.push_back({0, static_cast<std::uint32_t>(folded.used), id});
        distinctOf[i] = id;
        folded.used += needed;
        if (distinct.looking && i + 1 == distinctTrial && items.size() > distinctTrial / 2) {
            distinct.looking = false;
            distinct.slots = {};
        } else if (distinct.looking && 2 * items.size() > distinct.slots.size()) {
            growDistinct(distinct, folded, items, 2 * distinct.slots.size());
        }
    }
    return true;
}

// Orders a range by the step's units, then by how many of them a text has.
void orderRange(const FoldedTexts& folded, Item* items, const Range& range, std::size_t from,
                Item* scratch) {
    radixOrderByKey(items + range.begin, range.end - range.begin, scratch);
    // Texts ending within the step share their units' key with longer ones
    // only where the longer ones go on with zero units: rare, and put right
    // group by group.
    std::size_t begin = range.begin;
    while (begin < range.end) {
        std::size_t end = begin + 1;
        bool spansDiffer = false;
        while (end < range.end && items[end].key == items[begin].key) {
            spansDiffer =
                spansDiffer || folded.spanAt(items[end], from) != folded.spanAt(items[begin], from);
            ++end;
        }
        if (spansDiffer) {
            std::sort(items + begin, items + end, [&folded, from](const Item& a, const Item& b) {
                return folded.spanAt(a, from) < folded.spanAt(b, from);
            });
        }
        begin = end;
    }
}

// Ranks by comparing the texts outright: for more text than a buffer of
// ours can address, which no list of records comes near.
std::vector<std::uint32_t> rankByComparing(const std::vector<const std::wstring*>& texts) {
    std::vector<std::uint32_t> order(texts.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<std::uint32_t>(i);
    }
    std::stable_sort(order.begin(), order.end(), [&texts](std::uint32_t a, std::uint32_t b) {
        return compareFolded(*texts[a], *texts[b]) < 0;
    });
    std::vector<std::uint32_t> ranks(texts.size(), 0);
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        rank += i != 0 && compareFolded(*texts[order[i - 1]], *texts[order[i]]) != 0 ? 1 : 0;
        ranks[order[i]] = rank;
    }
    return ranks;
}

} // namespace

std::vector<std::uint32_t> rankFoldedTexts(const std::vector<const std::wstring*>& texts) {
    std::vector<Item> items;
    items.reserve(texts.size());
    std::vector<std::uint32_t> distinctOf(texts.size());
    FoldedTexts folded;
    if (!foldAll(texts, 1, folded, items, distinctOf) &&
        !foldAll(texts, 2, folded, items, distinctOf)) {
        return rankByComparing(texts);
    }
    const auto scratch = std::make_unique_for_overwrite<Item[]>(items.size());
    // Each distinct text's rank, then each text's.
    std::vector<std::uint32_t> ranks(items.size());
    std::uint32_t nextRank = 0;
    // Ranges still to be ordered, the leftmost on top, so that ranks are
    // handed out from the smallest text on.
    std::vector<Range> pending;
    if (!items.empty()) {
        pending.push_back({0, items.size(), 0});
    }
    while (!pending.empty()) {
        Range range = pending.back();
        pending.pop_back();
        if (range.end - range.begin == 1) {
            ranks[items[range.begin].id] = nextRank++;
            continue;
        }
        for (;;) {
            const std::size_t from = range.step * folded.unitsPerStep;
            bool allEnded = true;
            bool allSame = true;
            const Item& first = items[range.begin];
            const std::size_t firstSpan = folded.spanAt(first, from);
            for (std::size_t i = range.begin; i < range.end; ++i) {
                // After the first sort the texts are visited out of place.
                if (i + 16 < range.end) {
                    __builtin_prefetch(folded.text(items[i + 16]) + folded.unitBytes * from);
                }
                Item& item = items[i];
                item.key = folded.chunk(item, from);
                allEnded = allEnded && folded.length(item) <= from + folded.unitsPerStep;
                allSame =
                    allSame && item.key == first.key && folded.spanAt(item, from) == firstSpan;
            }
            if (allSame && allEnded) {
                // One text, however many times it stands here.
                for (std::size_t i = range.begin; i < range.end; ++i) {
                    ranks[items[i].id] = nextRank;
                }
                ++nextRank;
                break;
            }
            if (allSame) {
                ++range.step; // a shared stretch: on to the next units, unsorted
                continue;
            }
            orderRange(folded, items.data(), range, from, scratch.get());
            // The groups that share this step, pushed last first.
            std::size_t end = range.end;
            while (end > range.begin) {
                std::size_t begin = end - 1;
                while (begin > range.begin &&
                       folded.samePlace(items[begin - 1], items[end - 1], from)) {
                    --begin;
                }
                pending.push_back({begin, end, range.step + 1});
                end = begin;
            }
            break;
        }
    }
    for (std::uint32_t& text : distinctOf) {
        text = ranks[text];
    }
    return distinctOf;
}

} // namespace tidewell
