// Every counter of every source and of the scan itself, set alone, is
// treated alike by everything that reads the tally: the failure test, the
// report's counter line and completeness, the status bar and the
// command-line summary. The counters, declared source by source, together
// still make one sound table.
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "cli/report_command.h"
#include "core/scan_counters.h"
#include "prefetch/prefetch_setup.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "scan/source_table.h"
#include "support/corpus_files.h"
#include "support/origins.h"
#include "ui/coverage_text.h"

namespace tidewell {
namespace {

ScanFacts fullCoverage() {
    ScanFacts facts = testing::tableFacts();
    facts[prefetchEnabled] = knownFact(1);
    facts.profileCoverageKnown = 1;
    facts.profilesOnMachine = 1;
    facts.profilesExamined = 1;
    return facts;
}

// A report of this machine for the scan's own lines and the sources every
// Windows keeps; of an image or a collection for theirs; and one where
// every source was read for a source's own lines.
ScanOrigin originListing(const ScanCounter& counter) {
    switch (counter.line) {
    case CounterLine::Image:
    case CounterLine::Copies:
        return testing::imageOrigin(L"E:\\case.E01");
    case CounterLine::Collection:
        return testing::collectionOrigin(L"E:\\case.zip");
    case CounterLine::Source:
        return testing::withSources(ScanOrigin{}, SourcePresence::Read);
    case CounterLine::Always:
        return testing::thisMachineOrigin(L"");
    case CounterLine::Evidence:
    case CounterLine::NotInLiveCsv:
        break;
    }
    return testing::evidenceOrigin(L"E:\\case");
}

TEST(ScanCounters, EachCounterAloneIsAFailureEverywhereOrNowhere) {
    for (const ScanTally::Count& held : testing::tableTally().counts) {
        const ScanCounter& counter = *held.counter;
        SCOPED_TRACE(testing::narrow(counter.reportLabel));
        ScanResults results;
        results.tally = testing::tableTally();
        results.facts = fullCoverage();
        results.tally[counter] = 37;

        EXPECT_EQ(hasFailure(results.tally), counter.failure);
        EXPECT_EQ(reportIsComplete(results.tally, results.facts), !counter.failure);

        const ScanOrigin origin = originListing(counter);
        const std::wstring header = buildReportHeader(results.tally, results.facts, origin);
        EXPECT_NE(header.find(L"\r\n# " + std::wstring(counter.reportLabel) + L",37\r\n"),
                  std::wstring::npos);
        EXPECT_EQ(header.find(L"# No read or parse failure was encountered.") == std::wstring::npos,
                  counter.failure);

        const std::wstring bar = statusBarTexts(0, 0, results.tally, results.facts)[1];
        if (counter.failure) {
            EXPECT_EQ(bar.rfind(L" \u26A0 Read or parse failures:", 0), 0u) << testing::narrow(bar);
            EXPECT_NE(bar.back(), L';');
        } else {
            EXPECT_EQ(bar, L" No read or parse failures");
        }

        const std::wstring reasons = incompleteReasons(results);
        EXPECT_EQ(reasons.empty(), !counter.failure);
        if (counter.failure) {
            EXPECT_EQ(reasons, std::wstring(counter.reportLabel) + L" 37");
        }

        // The machine-readable forms give it under its key, with the same verdict.
        const std::string json = jsonReportOpening(results.tally, results.facts, origin);
        std::string member = "\"";
        member.append(counter.key).append("\":37");
        EXPECT_NE(json.find(member), std::string::npos);
        EXPECT_NE(json.find(counter.failure ? "\"complete\":false" : "\"complete\":true"),
                  std::string::npos);
        EXPECT_EQ(timelineScan(results.tally, results.facts, origin).complete, !counter.failure);
    }
}

TEST(ScanCounters, TheCountersOfEverySourceMakeOneSoundTable) {
    const ScanTally tally = testing::tableTally();
    std::set<const ScanCounter*> counters;
    std::set<std::string> keys;
    std::set<unsigned> places;
    std::set<unsigned> positions;
    std::size_t failures = 0;
    for (const ScanTally::Count& held : tally.counts) {
        const ScanCounter& counter = *held.counter;
        const std::string key = counter.key;
        EXPECT_TRUE(counters.insert(&counter).second) << key << " held twice";
        EXPECT_TRUE(keys.insert(key).second) << key << " twice";
        EXPECT_FALSE(key.empty() || key.front() == '_' || key.back() == '_') << key;
        for (char c : key) {
            EXPECT_TRUE((c >= 'a' && c <= 'z') || c == '_') << key;
        }
        // A failure, and only a failure, has its own place in the status bar.
        EXPECT_EQ(counter.failure, counter.statusFragment != nullptr) << key;
        EXPECT_EQ(counter.failure, counter.statusPosition != 0) << key;
        if (counter.failure) {
            ++failures;
            EXPECT_TRUE(positions.insert(counter.statusPosition).second) << key;
        }
        // Every shared line has a place of its own; a source's own have none.
        if (counter.line == CounterLine::Source) {
            EXPECT_EQ(counter.place, 0u) << key;
        } else {
            EXPECT_TRUE(counter.place != 0 && places.insert(counter.place).second) << key;
        }
    }
    // The places and positions run without gaps, so that none was lost.
    EXPECT_EQ(positions.empty() ? 0u : *positions.rbegin(), failures);
    EXPECT_EQ(places.empty() ? 0u : *places.rbegin(), places.size());
    // Every source's own counters are held, and numbered by their row.
    std::size_t row = 0;
    for (const RecordSource* source : tableSources()) {
        EXPECT_EQ(source->number, row++) << testing::narrow(source->word);
        for (const ScanCounter* counter : source->counters) {
            EXPECT_EQ(counters.count(counter), 1u) << counter->key;
        }
    }
}

TEST(ScanCounters, TheCsvReportOfThisMachineKeepsItsTwentyNineLines) {
    ScanTally tally = testing::tableTally();
    std::size_t imageOnly = 0;
    std::size_t copiesOnly = 0;
    std::size_t collectionOnly = 0;
    std::size_t ofOtherSources = 0;
    for (ScanTally::Count& held : tally.counts) {
        held.count = 5;
        imageOnly += held.counter->line == CounterLine::Image ? 1 : 0;
        copiesOnly += held.counter->line == CounterLine::Copies ? 1 : 0;
        collectionOnly += held.counter->line == CounterLine::Collection ? 1 : 0;
        ofOtherSources += held.counter->line == CounterLine::Source ? 1 : 0;
    }
    const auto linesOf = [](const std::wstring& header) {
        std::size_t lines = 0;
        for (std::size_t at = header.find(L",5\r\n"); at != std::wstring::npos;
             at = header.find(L",5\r\n", at + 1)) {
            ++lines;
        }
        return lines;
    };
    const std::size_t all = tally.counts.size();
    const ScanOrigin bare = testing::withSources(ScanOrigin{}, SourcePresence::NotPresent);
    EXPECT_EQ(linesOf(buildReportHeader(tally, fullCoverage(), bare)), 29u)
        << "the report of this machine, which keeps no other record, stays as it was";
    const ScanOrigin keepingAll = testing::withSources(ScanOrigin{}, SourcePresence::Read);
    EXPECT_EQ(linesOf(buildReportHeader(tally, fullCoverage(), keepingAll)), 29u + ofOtherSources)
        << "this machine's report gives the counters of the other sources it keeps after the rest";
    EXPECT_EQ(linesOf(buildReportHeader(tally, fullCoverage(),
                                        testing::withSources(testing::evidenceOrigin(L"E:\\x", L""),
                                                             SourcePresence::NotPresent))),
              all - imageOnly - copiesOnly - collectionOnly)
        << "a report of a folder lists every counter but those of images and collections";
    EXPECT_EQ(linesOf(buildReportHeader(tally, fullCoverage(),
                                        testing::withSources(testing::imageOrigin(L"E:\\x.E01"),
                                                             SourcePresence::NotPresent))),
              all - collectionOnly)
        << "a report of an image lists every counter but a collection's own";
    EXPECT_EQ(
        linesOf(buildReportHeader(tally, fullCoverage(),
                                  testing::withSources(testing::collectionOrigin(L"E:\\x.zip"),
                                                       SourcePresence::NotPresent))),
        all - imageOnly)
        << "a report of a collection lists every counter but an image's own";
    const std::string json =
        jsonReportOpening(tally, fullCoverage(), testing::thisMachineOrigin(L""));
    for (const ScanTally::Count& held : tally.counts) {
        EXPECT_NE(json.find(std::string("\"") + held.counter->key + "\":5"), std::string::npos)
            << "the JSON document of this machine gives " << held.counter->key;
    }
}

TEST(ScanCounters, TheReportListsEveryCounterOnceInTheTallysOrder) {
    ScanTally tally = testing::tableTally();
    std::uint32_t value = 1;
    for (ScanTally::Count& held : tally.counts) {
        held.count = value++;
    }
    // No real scan reads an image and a collection at once; this origin
    // claims both so that every counter has its line.
    ScanOrigin everything =
        testing::withSources(testing::imageOrigin(L"E:\\x.E01"), SourcePresence::NotPresent);
    everything.collection = true;
    const std::wstring header = buildReportHeader(tally, fullCoverage(), everything);
    std::size_t at = 0;
    value = 1;
    for (const ScanTally::Count& held : tally.counts) {
        const std::wstring line = L"\r\n# " + std::wstring(held.counter->reportLabel) + L"," +
                                  std::to_wstring(value++) + L"\r\n";
        const std::size_t found = header.find(line, at);
        ASSERT_NE(found, std::wstring::npos) << testing::narrow(held.counter->reportLabel);
        at = found + 1;
    }
}

TEST(ScanCounters, ACounterNotHeldReadsAsZeroAndIsAddedWhenCounted) {
    ScanTally tally;
    EXPECT_EQ(std::as_const(tally)[hivesStale], 0u);
    EXPECT_TRUE(tally.counts.empty()) << "reading a count adds nothing";
    EXPECT_FALSE(hasFailure(tally));
    ++tally[hivesStale];
    ++tally[hivesStale];
    ASSERT_EQ(tally.counts.size(), 1u);
    EXPECT_EQ(std::as_const(tally)[hivesStale], 2u);
    EXPECT_TRUE(hasFailure(tally));
}

} // namespace
} // namespace tidewell
