// What the banner and the status bar say, sentence by sentence: each source
// spoken of in its own words, from what the scan found of it.
#include "ui/coverage_text.h"

#include <gtest/gtest.h>

#include "amcache/amcache_source.h"
#include "bam/bam_source.h"
#include "compatcache/compat_cache_source.h"
#include "core/scan_counters.h"
#include "eventlog/eventlog_source.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_setup.h"
#include "prefetch/prefetch_source.h"
#include "srum/srum_source.h"
#include "support/corpus_files.h"
#include "support/origins.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

const std::wstring secondParagraph =
    L"\r\nUserAssist records only shell launches \u2014 a command line, script, service or "
    L"scheduled task never appears in it. Prefetch records whatever Windows started, including "
    L"things nobody clicked.";

const std::wstring evidenceNamed =
    L"Evidence folder E:\\cases\\host7\\C, a copy of another machine's system drive.  ";

ScanFacts readFacts() {
    ScanFacts facts = testing::tableFacts();
    facts[prefetchEnabled] = knownFact(1);
    facts[prefetchRetentionLimit] = knownFact(1024);
    facts.profileCoverageKnown = 1;
    facts.profilesOnMachine = 2;
    facts.profilesExamined = 2;
    return facts;
}

// This machine, or a copy of one, with Prefetch and UserAssist as given and
// the sources a machine may not keep absent (as on an older Windows).
ScanOrigin found(SourcePresence prefetch, SourcePresence userAssist, bool evidence = false) {
    ScanOrigin origin = evidence ? testing::evidenceOrigin(L"E:\\cases\\host7\\C", L"HOST7")
                                 : testing::thisMachineOrigin(L"HOST7");
    origin = testing::withSources(origin, SourcePresence::NotPresent);
    readingOf(origin, prefetchSource).presence = prefetch;
    readingOf(origin, userAssistSource).presence = userAssist;
    return origin;
}

constexpr SourcePresence read = SourcePresence::Read;
constexpr SourcePresence unreadable = SourcePresence::Unreadable;

const std::wstring notPresent = L"  Not present on this machine: BAM/DAM, the compatibility cache, "
                                L"Amcache, SRUM, event log starts, PCA, FeatureUsage, RunMRU, the "
                                L"Compatibility Assistant store, MUICache and RecentApps.";

TEST(Banner, WhatCouldNotBeReadStandsFirst) {
    const ScanTally tally = testing::tableTally();
    const ScanFacts facts = readFacts();
    EXPECT_EQ(bannerText(tally, facts, found(unreadable, unreadable)),
              L"\u26A0  No record could be read. Nothing below was examined." + notPresent +
                  L"  \u26A0 Could not be read: Prefetch and UserAssist." + secondParagraph);
    EXPECT_EQ(bannerText(tally, facts, found(unreadable, read)),
              L"\u26A0  Prefetch could not be read, so none of its records were examined. This "
              L"list is not a full picture of what ran.  Use File > Restart as administrator."
              L"  Read: UserAssist." +
                  notPresent + secondParagraph);
    EXPECT_EQ(bannerText(tally, facts, found(read, unreadable)),
              L"\u26A0  UserAssist could not be read, so no shell launch record was examined. Only "
              L"what Windows started is listed below.  Read: Prefetch." +
                  notPresent + secondParagraph);
}

TEST(Banner, ASourceReadWhileTheOthersWereNotIsNamed) {
    // Neither record Windows always keeps, yet BAM/DAM was read: its
    // records stand below, so the banner must not say that nothing does.
    ScanOrigin origin = found(unreadable, unreadable);
    readingOf(origin, bamSource).presence = read;
    EXPECT_EQ(bannerText(testing::tableTally(), readFacts(), origin),
              L"\u26A0  Prefetch could not be read, so none of its records were examined. This "
              L"list is not a full picture of what ran.  Use File > Restart as administrator."
              L"  Read: BAM/DAM.  Not present on this machine: the compatibility cache, "
              L"Amcache, SRUM, event log starts, PCA, FeatureUsage, RunMRU, the Compatibility "
              L"Assistant store, MUICache and RecentApps.  \u26A0 Could not be read: UserAssist." +
                  secondParagraph + L" BAM/DAM keeps only each program's last run for each user.");
}

TEST(Banner, WhatWasReadAndTheSpanOfItsRunTimes) {
    const ScanTally tally = testing::tableTally();
    ScanFacts facts = readFacts();
    facts[prefetchEnabled] = knownFact(0);
    facts.profileCoverageKnown = 0; // no coverage sentence after a warning
    EXPECT_EQ(bannerText(tally, facts, found(read, read)),
              L"\u26A0  Prefetching is switched off on this machine, so Windows is not recording "
              L"program starts. An absent entry means nothing here.  Read: Prefetch and "
              L"UserAssist." +
                  notPresent + secondParagraph);
    facts = readFacts();
    facts.spanKnown = 1;
    facts.spanOldest = 133497936000000000ULL; // 2024-01-15 12:00 UTC: the date in any nearby zone
    facts.spanNewest = 133655184000000000ULL; // 2024-07-15 12:00 UTC
    EXPECT_EQ(bannerText(tally, facts, found(read, read)),
              L"Prefetch and UserAssist read.  Surviving records run from 2024-01-15 to "
              L"2024-07-15; Windows keeps at most 1024 prefetch files and discards the oldest." +
                  notPresent + secondParagraph);
    // In UTC the dates are UTC's, and the sentence says so.
    facts.spanNewest = 133498350000000000ULL; // 2024-01-15 23:30 UTC
    EXPECT_EQ(bannerText(tally, facts, found(read, read), TimeBasis::Utc),
              L"Prefetch and UserAssist read.  Surviving records run from 2024-01-15 to "
              L"2024-01-15 (UTC); Windows keeps at most 1024 prefetch files and discards the "
              L"oldest." +
                  notPresent + secondParagraph);
    facts.spanKnown = 0;
    EXPECT_EQ(bannerText(tally, facts, found(read, read)),
              L"Prefetch and UserAssist read.  No timestamps were found in them." + notPresent +
                  secondParagraph);
}

TEST(Banner, ALogReachingFarLessBackThanTheOtherRecordsIsSaid) {
    const ScanTally tally = testing::tableTally();
    ScanFacts facts = readFacts();
    facts.spanKnown = 1;
    facts.spanOldest = 133497936000000000ULL; // 2024-01-15 12:00 UTC
    facts.spanNewest = 133655184000000000ULL; // 2024-07-15 12:00 UTC, 182 days on
    ScanOrigin origin = found(read, read);
    SourceReading& logs = readingOf(origin, eventLogSource);
    logs.presence = read;
    const std::uint64_t day = 864000000000ULL;
    // 44 days of 182: said. 165 days: not said, nor is a log that reaches
    // back nearly as far as the rest.
    keepSpan(logs.spans, L"Security log", facts.spanNewest - 44 * day);
    keepSpan(logs.spans, L"Sysmon log", facts.spanNewest - 165 * day);
    const std::wstring banner = bannerText(tally, facts, origin, TimeBasis::Utc);
    const std::wstring said = L"  \u26A0 The Security log reaches back only to 2024-06-01, the "
                              L"other records to 2024-01-15: what it would record from before "
                              L"then is not known.";
    EXPECT_NE(banner.find(said + L"\r\n"), std::wstring::npos) << testing::narrow(banner);
    EXPECT_EQ(banner.find(L"The Sysmon log"), std::wstring::npos);

    // Half the history or more, or less than a week short of it: nothing.
    logs.spans.clear();
    keepSpan(logs.spans, L"Security log", facts.spanNewest - 91 * day);
    EXPECT_EQ(bannerText(tally, facts, origin).find(L"reaches back only"), std::wstring::npos);
    facts.spanNewest = facts.spanOldest + 10 * day;
    logs.spans.clear();
    keepSpan(logs.spans, L"Security log", facts.spanOldest + 6 * day);
    EXPECT_EQ(bannerText(tally, facts, origin).find(L"reaches back only"), std::wstring::npos);
    logs.spans.clear();
    keepSpan(logs.spans, L"Security log", facts.spanOldest + 8 * day);
    EXPECT_NE(bannerText(tally, facts, origin).find(L"reaches back only"), std::wstring::npos);
    // Not said of a log that was not read, nor without a span of run times.
    logs.presence = unreadable;
    EXPECT_EQ(bannerText(tally, facts, origin).find(L"reaches back only"), std::wstring::npos);
    logs.presence = read;
    facts.spanKnown = 0;
    EXPECT_EQ(bannerText(tally, facts, origin).find(L"reaches back only"), std::wstring::npos);
}

TEST(KeptSpans, AnOlderCopyReachesALogFurtherBackAndNoTimeIsNoSpan) {
    std::vector<KeptSpan> spans;
    keepSpan(spans, L"Security log", 0);
    EXPECT_TRUE(spans.empty());
    keepSpan(spans, L"Security log", 500);
    keepSpan(spans, L"Sysmon log", 900);
    keepSpan(spans, L"Security log", 300);
    keepSpan(spans, L"Security log", 700);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].oldest, 300u);
    EXPECT_EQ(spans[1].oldest, 900u);
}

TEST(Banner, CoverageSentencesFollowOnlyTheSentenceOfWhatWasRead) {
    const ScanTally tally = testing::tableTally();
    ScanFacts facts = readFacts();
    facts.profilesExamined = 1;
    facts.profilesNotExamined = 2;
    facts.profilesOnMachine = 3;
    EXPECT_EQ(bannerText(tally, facts, found(read, read)),
              L"Prefetch and UserAssist read.  No timestamps were found in them.  Coverage "
              L"limited: UserAssist examined in 1 of 3 profiles. Registry hives for the other 2 "
              L"were not available to this scan." +
                  notPresent + secondParagraph);
    facts.profileCoverageKnown = 0;
    EXPECT_EQ(bannerText(tally, facts, found(read, read)),
              L"Prefetch and UserAssist read.  No timestamps were found in them.  UserAssist "
              L"profile coverage could not be determined: the machine's profile list could not be "
              L"read in full." +
                  notPresent + secondParagraph);
    EXPECT_EQ(bannerText(tally, facts, found(unreadable, read)).find(L"coverage"),
              std::wstring::npos);
}

TEST(Banner, EverySourceReadIsNamedWithWhatItCanShow) {
    ScanOrigin origin = testing::withSources(testing::thisMachineOrigin(L"HOST7"), read);
    readingOf(origin, amcacheSource).presence = SourcePresence::HeldOpen;
    readingOf(origin, srumSource).presence = SourcePresence::HeldOpen;
    EXPECT_EQ(bannerText(testing::tableTally(), readFacts(), origin),
              L"Prefetch, UserAssist, BAM/DAM, the compatibility cache, event log starts, PCA, "
              L"FeatureUsage, RunMRU, the Compatibility Assistant store, MUICache and RecentApps "
              L"read.  No timestamps were found in them.  Held open by the running Windows, and "
              L"so not read: Amcache and SRUM."
              L"  Windows writes this machine's compatibility cache when it shuts down: what it "
              L"saw since it last started is not in it." +
                  secondParagraph +
                  L" BAM/DAM keeps only each program's last run for each user. The compatibility "
                  L"cache lists files Windows looked at, with their modification times: not "
                  L"runs. The event logs record starts only where process auditing or Sysmon was "
                  L"on, and only back to each log's oldest record. PCA keeps only each program's "
                  L"last launch the compatibility assistant saw, and some of its events. "
                  L"FeatureUsage counts taskbar launches and switches, with no time of them. "
                  L"RunMRU keeps the commands typed into Run; only the newest has a time. The "
                  L"Compatibility Assistant store names programs that started, with no time of "
                  L"each. MUICache names programs the shell showed, with no time. RecentApps keeps "
                  L"only each program's count and last launch.");
}

TEST(Banner, CollectedEvidenceIsNamedAndSpokenOfAsTheExaminedMachine) {
    const ScanTally tally = testing::tableTally();
    ScanFacts facts = readFacts();
    const std::wstring absent =
        L"  Not present on the examined machine: BAM/DAM, the "
        L"compatibility cache, Amcache, SRUM, event log starts, PCA, FeatureUsage, RunMRU, the "
        L"Compatibility Assistant store, MUICache and RecentApps.";
    EXPECT_EQ(bannerText(tally, facts, found(unreadable, unreadable, true)),
              evidenceNamed +
                  L"\u26A0  No record could be read from the evidence. Nothing below was "
                  L"examined." +
                  absent + L"  \u26A0 Could not be read: Prefetch and UserAssist." +
                  secondParagraph);
    EXPECT_EQ(bannerText(tally, facts, found(unreadable, read, true)),
              evidenceNamed +
                  L"\u26A0  The evidence's Prefetch folder could not be read, so none of its "
                  L"records were examined. This list is not a full picture of what ran.  Read: "
                  L"UserAssist." +
                  absent + secondParagraph)
        << "no advice to restart as administrator: rights bring no folder to a copy";
    EXPECT_EQ(bannerText(tally, facts, found(read, unreadable, true)),
              evidenceNamed +
                  L"\u26A0  No user's UserAssist could be read from the evidence, so no shell "
                  L"launch record was examined. Only what Windows started is listed below.  Read: "
                  L"Prefetch." +
                  absent + secondParagraph);
    facts[prefetchEnabled] = knownFact(0);
    EXPECT_EQ(bannerText(tally, facts, found(read, read, true)),
              evidenceNamed +
                  L"\u26A0  Prefetching was switched off on the examined machine, so Windows "
                  L"was not recording program starts. An absent entry means nothing here.  Read: "
                  L"Prefetch and UserAssist." +
                  absent + secondParagraph);
    // A copy whose setting is not recorded warns of nothing, and one whose
    // Windows version is not known says so where the span is given.
    facts = readFacts();
    facts[prefetchEnabled] = FactValue{};
    facts[prefetchRetentionLimit] = FactValue{};
    facts.spanKnown = 1;
    facts.spanOldest = 133497936000000000ULL;
    facts.spanNewest = 133655184000000000ULL;
    EXPECT_EQ(bannerText(tally, facts, found(read, read, true)),
              evidenceNamed +
                  L"Prefetch and UserAssist read.  Surviving records run from 2024-01-15 to "
                  L"2024-07-15; how many prefetch files the examined machine's Windows kept is not "
                  L"known." +
                  absent + secondParagraph);
}

TEST(StatusBar, CountsFailuresCoverageAndElevation) {
    ScanTally tally = testing::tableTally();
    ScanFacts facts = readFacts();
    std::array<std::wstring, 4> parts = statusBarTexts(5, 120, tally, facts);
    EXPECT_EQ(parts[0], L" 5 of 120 records shown");
    EXPECT_EQ(parts[1], L" No read or parse failures");
    EXPECT_EQ(parts[2], L" Coverage: all 2 profiles ");
    EXPECT_EQ(parts[3], L" standard user ");
    facts.elevated = 1;
    EXPECT_EQ(statusBarTexts(0, 0, tally, facts)[3], L" administrator ");
    tally[prefetchRunCountUnverified] = 2;
    EXPECT_EQ(statusBarTexts(0, 0, tally, facts)[3], L" 2 run count(s) withheld ");
    facts.elevationNotApplicable = 1;
    EXPECT_EQ(statusBarTexts(0, 0, tally, facts)[3], L" 2 run count(s) withheld ");
    tally[prefetchRunCountUnverified] = 0;
    EXPECT_EQ(statusBarTexts(0, 0, tally, facts)[3], L" collected evidence ");

    tally[prefetchUnreadable] = 3;
    tally[prefetchListingStopped] = 1;
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
    // Counted in another order than the bar's, which is its own.
    ScanTally tally;
    tally[profileListUnreadable] = 1;
    tally[prefetchListingStopped] = 1;
    tally[userAssistKeysUnreadable] = 12;
    tally[userAssistImpossibleDate] = 11;
    tally[userAssistTooLarge] = 10;
    tally[userAssistWrongType] = 9;
    tally[prefetchListOutside] = 8;
    tally[userAssistWrongSize] = 7;
    tally[prefetchNotPrefetch] = 6;
    tally[prefetchUnknownVersion] = 5;
    tally[prefetchMalformed] = 4;
    tally[prefetchDecompressFailed] = 3;
    tally[prefetchUnreadable] = 2;
    tally[userAssistUnreadable] = 1;
    tally[prefetchDirUnreadable] = 1;
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

} // namespace
} // namespace tidewell
