#include "ui/text_ranks.h"

#include <algorithm>

#include "platform/text_fold.h"

namespace tidewell {

namespace {

constexpr std::size_t unitsPerStep = 4;

// A text's place in the sort at one step: its next four folded units packed
// (zero units past its end, the smallest there are), and how many of the
// units up to the step's end it has, so that a text ending here comes before
// a longer one with the same units.
struct Item {
    std::uint64_t chunk = 0;
    std::uint32_t span = 0;
    std::uint32_t id = 0;
};

struct Range {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t step = 0;
};

struct FoldedTexts {
    std::vector<std::uint16_t> units;
    std::vector<std::size_t> offsets;
    std::vector<std::size_t> lengths;

    std::uint64_t chunk(std::uint32_t id, std::size_t from) const {
        std::uint64_t packed = 0;
        const std::size_t length = lengths[id];
        const std::uint16_t* text = units.data() + offsets[id];
        for (std::size_t i = from; i < from + unitsPerStep; ++i) {
            packed = packed << 16 | (i < length ? text[i] : 0u);
        }
        return packed;
    }
};

FoldedTexts foldAll(const std::vector<const std::wstring*>& texts) {
    FoldedTexts folded;
    std::size_t total = 0;
    for (const std::wstring* text : texts) {
        total += text->size();
    }
    folded.offsets.reserve(texts.size());
    folded.lengths.reserve(texts.size());
    folded.units.resize(total);
    std::size_t at = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // The texts lie in records far apart: ask for them ahead of use.
        if (i + 16 < texts.size()) {
            __builtin_prefetch(texts[i + 16]);
        }
        if (i + 8 < texts.size()) {
            __builtin_prefetch(texts[i + 8]->data());
        }
        const std::wstring* text = texts[i];
        folded.offsets.push_back(at);
        folded.lengths.push_back(text->size());
        for (wchar_t unit : *text) {
            folded.units[at++] = static_cast<std::uint16_t>(foldAscii(unit));
        }
    }
    return folded;
}

bool samePlace(const Item& a, const Item& b) {
    return a.chunk == b.chunk && a.span == b.span;
}

} // namespace

std::vector<std::uint32_t> rankFoldedTexts(const std::vector<const std::wstring*>& texts) {
    const FoldedTexts folded = foldAll(texts);
    std::vector<Item> items(texts.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].id = static_cast<std::uint32_t>(i);
    }
    std::vector<std::uint32_t> ranks(texts.size(), 0);
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
            const std::size_t from = range.step * unitsPerStep;
            bool allEnded = true;
            for (std::size_t i = range.begin; i < range.end; ++i) {
                Item& item = items[i];
                const std::size_t length = folded.lengths[item.id];
                item.chunk = folded.chunk(item.id, from);
                item.span = static_cast<std::uint32_t>(std::min(length, from + unitsPerStep) -
                                                       std::min(length, from));
                allEnded = allEnded && length <= from + unitsPerStep;
            }
            const bool allSame =
                std::all_of(items.begin() + static_cast<std::ptrdiff_t>(range.begin),
                            items.begin() + static_cast<std::ptrdiff_t>(range.end),
                            [&](const Item& item) { return samePlace(item, items[range.begin]); });
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
            std::sort(items.begin() + static_cast<std::ptrdiff_t>(range.begin),
                      items.begin() + static_cast<std::ptrdiff_t>(range.end),
                      [](const Item& a, const Item& b) {
                          return a.chunk != b.chunk ? a.chunk < b.chunk : a.span < b.span;
                      });
            // The groups that share this step, pushed last first.
            std::size_t end = range.end;
            while (end > range.begin) {
                std::size_t begin = end - 1;
                while (begin > range.begin && samePlace(items[begin - 1], items[end - 1])) {
                    --begin;
                }
                pending.push_back({begin, end, range.step + 1});
                end = begin;
            }
            break;
        }
    }
    return ranks;
}

} // namespace tidewell
