// What the banner and the status bar say, sentence by sentence.
#include "ui/coverage_text.h"

#include <gtest/gtest.h>

#include "support/origins.h"

namespace tidewell {
namespace {

const std::wstring secondParagraph =
    L"\r\nUserAssist records only shell launches \u2014 a command line, script, service or "
    L"scheduled task never appears in it. Prefetch records whatever Windows started, including "
    L"things nobody clicked.";

ScanFacts readFacts() {
    ScanFacts facts;
    facts.prefetchEnabled = 1;
    facts.prefetchRetentionLimit = 1024;
    facts.profileCoverageKnown = 1;
    facts.profilesOnMachine = 2;
    facts.profilesExamined = 2;
    return facts;
}

TEST(Banner, TheSixFirstSentences) {
    ScanTally tally;
    ScanFacts facts = readFacts();
    tally.prefetchDirUnreadable = 1;
    tally.userAssistUnreadable = 1;
    EXPECT_EQ(bannerText(tally, facts),
              L"\u26A0  Neither record could be read. Nothing below was examined." +
                  secondParagraph);
    tally.userAssistUnreadable = 0;
    EXPECT_EQ(
        bannerText(tally, facts),
        L"\u26A0  Prefetch could not be read, so none of its records were examined. This list "
        L"is not a full picture of what ran.  Use File > Restart as administrator." +
            secondParagraph);
    tally.prefetchDirUnreadable = 0;
    tally.userAssistUnreadable = 2;
    EXPECT_EQ(bannerText(tally, facts),
              L"\u26A0  UserAssist could not be read, so no shell launch record was examined. Only "
              L"what Windows started is listed below." +
                  secondParagraph);
    tally.userAssistUnreadable = 0;
    facts.prefetchEnabled = 0;
    facts.profileCoverageKnown = 0; // no coverage sentence after this warning
    EXPECT_EQ(bannerText(tally, facts),
              L"\u26A0  Prefetching is switched off on this machine, so Windows is not recording "
              L"program starts. An absent entry means nothing here." +
                  secondParagraph);
    facts = readFacts();
    facts.spanKnown = 1;
    facts.spanOldest = 133497936000000000ULL; // 2024-01-15 12:00 UTC: the date in any nearby zone
    facts.spanNewest = 133655184000000000ULL; // 2024-07-15 12:00 UTC
    EXPECT_EQ(bannerText(tally, facts),
              L"Both sources read.  Surviving records run from 2024-01-15 to 2024-07-15; Windows "
              L"keeps at most 1024 prefetch files and discards the oldest." +
                  secondParagraph);
    // In UTC the dates are UTC's, and the sentence says so.
    facts.spanNewest = 133498350000000000ULL; // 2024-01-15 23:30 UTC
    EXPECT_EQ(bannerText(tally, facts, {}, TimeBasis::Utc),
              L"Both sources read.  Surviving records run from 2024-01-15 to 2024-01-15 (UTC); "
              L"Windows keeps at most 1024 prefetch files and discards the oldest." +
                  secondParagraph);
    facts.spanKnown = 0;
    EXPECT_EQ(bannerText(tally, facts),
              L"Both sources read.  No timestamps were found in them." + secondParagraph);
}

TEST(Banner, CoverageSentencesFollowOnlyWhenBothSourcesWereRead) {
    ScanTally tally;
    ScanFacts facts = readFacts();
    facts.profilesExamined = 1;
    facts.profilesNotExamined = 2;
    facts.profilesOnMachine = 3;
    EXPECT_EQ(
        bannerText(tally, facts),
        L"Both sources read.  No timestamps were found in them.  Coverage limited: UserAssist "
        L"examined in 1 of 3 profiles. Registry hives for the other 2 were not available to "
        L"this scan." +
            secondParagraph);
    facts.profileCoverageKnown = 0;
    EXPECT_EQ(bannerText(tally, facts),
              L"Both sources read.  No timestamps were found in them.  UserAssist profile coverage "
              L"could not be determined: the machine's profile list could not be read in full." +
                  secondParagraph);
    tally.prefetchDirUnreadable = 1;
    EXPECT_EQ(bannerText(tally, facts).find(L"coverage"), std::wstring::npos);
}

TEST(StatusBar, CountsFailuresCoverageAndElevation) {
    ScanTally tally;
    ScanFacts facts = readFacts();
    std::array<std::wstring, 4> parts = statusBarTexts(5, 120, tally, facts);
    EXPECT_EQ(parts[0], L" 5 of 120 records shown");
    EXPECT_EQ(parts[1], L" No read or parse failures");
    EXPECT_EQ(parts[2], L" Coverage: all 2 profiles ");
    EXPECT_EQ(parts[3], L" standard user ");
    facts.elevated = 1;
    EXPECT_EQ(statusBarTexts(0, 0, tally, facts)[3], L" administrator ");
    tally.prefetchRunCountUnverified = 2;
    EXPECT_EQ(statusBarTexts(0, 0, tally, facts)[3], L" 2 run count(s) withheld ");

    tally.prefetchUnreadable = 3;
    tally.prefetchListingStopped = 1;
    parts = statusBarTexts(0, 0, tally, facts);
    EXPECT_EQ(parts[1], L" \u26A0 Read or parse failures: 3 file(s) unreadable; the directory "
                        L"listing stopped early");

    facts.profilesNotExamined = 1;
    facts.profilesExamined = 1;
    EXPECT_EQ(statusBarTexts(0, 0, tally, facts)[2],
              L" \u26A0 Coverage limited: UserAssist in 1 of 2 profiles ");
    facts.profileCoverageKnown = 0;
    EXPECT_EQ(statusBarTexts(0, 0, tally, facts)[2], L" Coverage: not determined ");
}

TEST(StatusBar, EveryFailureFragmentInItsOrder) {
    ScanTally tally;
    tally.prefetchDirUnreadable = 1;
    tally.userAssistUnreadable = 1;
    tally.prefetchUnreadable = 2;
    tally.prefetchDecompressFailed = 3;
    tally.prefetchMalformed = 4;
    tally.prefetchUnknownVersion = 5;
    tally.prefetchNotPrefetch = 6;
    tally.userAssistWrongSize = 7;
    tally.prefetchListOutside = 8;
    tally.userAssistWrongType = 9;
    tally.userAssistTooLarge = 10;
    tally.userAssistImpossibleDate = 11;
    tally.userAssistKeysUnreadable = 12;
    tally.prefetchListingStopped = 1;
    tally.profileListUnreadable = 1;
    EXPECT_EQ(statusBarTexts(0, 0, tally, readFacts())[1],
              L" \u26A0 Read or parse failures: prefetch directory unreadable; userassist "
              L"unreadable; 2 file(s) unreadable; 3 could not be decompressed; 4 malformed; 5 "
              L"unknown format version; 6 not prefetch files; 7 registry entries in an unknown "
              L"shape; 8 with a file list outside the file; 9 of the wrong registry type; 10 too "
              L"large to be an entry; 11 with an impossible timestamp; 12 registry keys "
              L"unreadable; the directory listing stopped early; the user profile list could not "
              L"be read");
}

TEST(FormatDate, TheFirstTenCharacters) {
    EXPECT_EQ(formatDate(133497936000000000ULL), L"2024-01-15");
    EXPECT_EQ(formatDate(0xFFFFFFFFFFFFFFFFULL), L"");
}

TEST(Banner, CollectedEvidenceIsNamedAndSpokenOfAsTheExaminedMachine) {
    const ScanOrigin evidence = testing::evidenceOrigin(L"E:\\cases\\host7\\C", L"HOST7");
    const std::wstring named =
        L"Evidence folder E:\\cases\\host7\\C, a copy of another machine's system drive.  ";
    ScanTally tally;
    ScanFacts facts = readFacts();
    tally.prefetchDirUnreadable = 1;
    tally.userAssistUnreadable = 1;
    EXPECT_EQ(bannerText(tally, facts, evidence),
              named +
                  L"\u26A0  Neither record could be read from the evidence. Nothing below was "
                  L"examined." +
                  secondParagraph);
    tally.userAssistUnreadable = 0;
    EXPECT_EQ(bannerText(tally, facts, evidence),
              named +
                  L"\u26A0  The evidence's Prefetch folder could not be read, so none of its "
                  L"records were examined. This list is not a full picture of what ran." +
                  secondParagraph)
        << "no advice to restart as administrator: rights bring no folder to a copy";
    tally.prefetchDirUnreadable = 0;
    tally.userAssistUnreadable = 1;
    EXPECT_EQ(bannerText(tally, facts, evidence),
              named +
                  L"\u26A0  No user's UserAssist could be read from the evidence, so no shell "
                  L"launch record was examined. Only what Windows started is listed below." +
                  secondParagraph);
    tally.userAssistUnreadable = 0;
    facts.prefetchEnabled = 0;
    EXPECT_EQ(bannerText(tally, facts, evidence),
              named +
                  L"\u26A0  Prefetching was switched off on the examined machine, so Windows "
                  L"was not recording program starts. An absent entry means nothing here." +
                  secondParagraph);
    facts = readFacts();
    EXPECT_EQ(bannerText(tally, facts, evidence),
              named + L"Both sources read.  No timestamps were found in them." + secondParagraph);
}

} // namespace
} // namespace tidewell
