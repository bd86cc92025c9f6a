// Ranks of texts, several folded units at a time, against compareFolded on
// texts made to trip the steps: shared beginnings longer than a step,
// lengths either side of a step's end, NUL units, case, non-ASCII units.
#include "ui/text_ranks.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "platform/text_fold.h"

namespace tidewell {
namespace {

std::string narrowForTest(const std::wstring& text) {
    std::string narrow;
    for (wchar_t unit : text) {
        narrow += unit < 128 ? static_cast<char>(unit) : '?';
    }
    return narrow;
}

void expectRanksFollowCompareFolded(const std::vector<std::wstring>& texts) {
    std::vector<const std::wstring*> pointers;
    for (const std::wstring& text : texts) {
        pointers.push_back(&text);
    }
    const std::vector<std::uint32_t> ranks = rankFoldedTexts(pointers);
    ASSERT_EQ(ranks.size(), texts.size());
    std::uint32_t highest = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        highest = std::max(highest, ranks[i]);
        for (std::size_t j = 0; j < texts.size(); ++j) {
            const int order = compareFolded(texts[i], texts[j]);
            EXPECT_EQ(ranks[i] < ranks[j], order < 0) << i << " " << j;
            EXPECT_EQ(ranks[i] == ranks[j], order == 0) << i << " " << j;
        }
    }
    // Dense: every rank up to the highest stands for some text.
    if (texts.empty()) {
        return;
    }
    std::vector<bool> used(highest + 1, false);
    for (std::uint32_t rank : ranks) {
        used[rank] = true;
    }
    EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
}

TEST(TextRanks, StepEdgesNulUnitsAndCase) {
    const std::wstring nul(1, L'\0');
    expectRanksFollowCompareFolded({
        L"",
        L"",
        L"a",
        L"A",
        L"abc",
        L"abcd",
        L"ABCD",
        L"abcde",
        L"abcd" + nul,
        L"abcd" + nul + nul + nul + nul,
        L"abcd" + nul + nul + nul + nul + L"x",
        L"abc" + nul,
        nul,
        nul + nul,
        L"\x00E9",
        L"\x00C9",
        L"_",
        L"Z",
        L"z",
        L"[",
        L"\xFFFF",
        L"\xD800",
        L"C:\\Program Files\\Vendor1\\A.EXE",
        L"C:\\PROGRAM FILES\\VENDOR1\\a.exe",
        L"C:\\Program Files\\Vendor10\\A.EXE",
        L"C:\\Program Files\\Vendor1\\A.EX",
        L"C:\\Program Files\\Vendor1",
    });
    expectRanksFollowCompareFolded({});
    expectRanksFollowCompareFolded({L"only"});
}

TEST(TextRanks, RandomTextsWithLongSharedBeginnings) {
    std::uint32_t state = 2024;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    const wchar_t alphabet[] = {L'a', L'A', L'b', L'B', L'\0', L'~', L'\x00E9', L'\xFFFE'};
    const std::wstring shared = L"C:\\Users\\Public\\Downloads\\";
    std::vector<std::wstring> texts;
    for (int i = 0; i < 300; ++i) {
        std::wstring text = next() % 2 == 0 ? shared.substr(0, next() % (shared.size() + 1)) : L"";
        const std::size_t tail = next() % 10;
        for (std::size_t k = 0; k < tail; ++k) {
            text.push_back(alphabet[next() % 8]);
        }
        texts.push_back(text);
    }
    expectRanksFollowCompareFolded(texts);
}

// Thousands of texts: first many repeats (looked up and kept once), then
// enough distinct ones that looking up stops, with repeats of early texts
// after that; lengths either side of eight units; then the same with a
// unit of 256 or more, which the wider folding takes.
TEST(TextRanks, ManyTextsRepeatedAndDistinctInBothWidths) {
    for (const std::wstring wide : {L"", L"\x0100"}) {
        std::vector<std::wstring> texts;
        for (int i = 0; i < 5000; ++i) {
            texts.push_back((i % 2 == 0 ? L"Name" : L"NAME") + std::to_wstring(i % 37));
        }
        for (int i = 0; i < 5000; ++i) {
            texts.push_back(L"c:\\Tools\\t" + std::to_wstring(i * 7919 % 5003));
        }
        for (int i = 0; i < 300; ++i) {
            texts.push_back(texts[static_cast<std::size_t>(i * 31)]);
            texts.push_back(std::wstring(static_cast<std::size_t>(i % 17), L'x'));
        }
        texts.push_back(L"T" + wide);
        std::vector<const std::wstring*> pointers;
        for (const std::wstring& text : texts) {
            pointers.push_back(&text);
        }
        const std::vector<std::uint32_t> ranks = rankFoldedTexts(pointers);
        ASSERT_EQ(ranks.size(), texts.size());
        // In compareFolded's order, neighbours' ranks rise by one exactly
        // where the texts differ.
        std::vector<std::size_t> order(texts.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        std::stable_sort(order.begin(), order.end(), [&texts](std::size_t a, std::size_t b) {
            return compareFolded(texts[a], texts[b]) < 0;
        });
        EXPECT_EQ(ranks[order.front()], 0u);
        for (std::size_t i = 1; i < order.size(); ++i) {
            const bool differ = compareFolded(texts[order[i - 1]], texts[order[i]]) != 0;
            ASSERT_EQ(ranks[order[i]], ranks[order[i - 1]] + (differ ? 1u : 0u))
                << i << " " << narrowForTest(texts[order[i]]);
        }
    }
}

} // namespace
} // namespace tidewell
