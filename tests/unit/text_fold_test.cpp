// Only A to Z are folded, so that comparisons give the same answer on every
// machine whatever its locale.
#include "platform/text_fold.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(FoldText, OnlyAsciiCapitalsChange) {
    EXPECT_EQ(foldText(L"NOTEPAD.EXE @[`{"), L"notepad.exe @[`{");
    // É, Ä, Σ and the fullwidth A are not ASCII and stay as stored.
    const std::wstring accented{L'\x00C9', L'\x00C4', L'\x03A3', L'\xFF21'};
    EXPECT_EQ(foldText(accented), accented);
    EXPECT_EQ(foldAscii(L'@'), L'@'); // the neighbours of A and Z
    EXPECT_EQ(foldAscii(L'['), L'[');
    EXPECT_EQ(foldAscii(L'A'), L'a');
    EXPECT_EQ(foldAscii(L'Z'), L'z');
}

TEST(FoldedComparison, EqualityAndAffixes) {
    EXPECT_TRUE(equalsFolded(L"Notepad.EXE", L"NOTEPAD.exe"));
    EXPECT_FALSE(equalsFolded(L"notepad.exe", L"notepad.ex"));
    EXPECT_FALSE(equalsFolded(L"\x00C9T\x00C9", L"\x00E9t\x00E9")); // ÉTÉ vs été
    EXPECT_TRUE(endsWithFolded(L"CALC.EXE-77FDF17F.PF", L".pf"));
    EXPECT_FALSE(endsWithFolded(L"x.pf.bak", L".pf"));
    EXPECT_FALSE(endsWithFolded(L"pf", L".pf"));
    EXPECT_TRUE(startsWithFolded(L"S-1-5-21-1004", L"s-1-5-21"));
    EXPECT_FALSE(startsWithFolded(L"S-1", L"S-1-5"));
}

TEST(FoldedComparison, OrderIsByFoldedUnitsWithPrefixesFirst) {
    EXPECT_LT(compareFolded(L"A", L"b"), 0);
    EXPECT_GT(compareFolded(L"b", L"A"), 0);
    EXPECT_EQ(compareFolded(L"Calc", L"cALC"), 0);
    EXPECT_LT(compareFolded(L"calc", L"calc.exe"), 0);
    EXPECT_GT(compareFolded(L"calc.exe", L"calc"), 0);
    // '_' (0x5F) lies between the capitals and the small letters: after
    // folding it sorts before every letter.
    EXPECT_LT(compareFolded(L"_CMD", L"CMD"), 0);
    // Units above 0x7FFF still order as unsigned UTF-16 values.
    EXPECT_LT(compareFolded(L"z", std::wstring{L'\xE000'}), 0);
    EXPECT_LT(compareFolded(L"", L"a"), 0);
}

TEST(FoldedComparison, ContainsTakesAnAlreadyFoldedNeedle) {
    EXPECT_TRUE(containsFolded(L"C:\\WINDOWS\\NOTEPAD.EXE", L"exe"));
    EXPECT_TRUE(containsFolded(L"notepad.exe", L""));
    EXPECT_TRUE(containsFolded(L"abc", L"abc"));
    EXPECT_FALSE(containsFolded(L"ab", L"abc"));
    EXPECT_FALSE(containsFolded(L"aab", L"abb"));
    // A folded needle with an accented capital does not match the small letter.
    EXPECT_FALSE(containsFolded(L"caf\x00E9", foldText(L"CAF\x00C9")));
    EXPECT_TRUE(containsFolded(L"CAF\x00C9", foldText(L"caf\x00C9")));
}

} // namespace
} // namespace tidewell
