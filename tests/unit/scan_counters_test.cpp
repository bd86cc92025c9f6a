// Every counter, set alone, is treated alike by everything that reads the
// tally: the failure test, the report's counter line and completeness, the
// status bar and the command-line summary.
#include "core/scan_counters.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "support/origins.h"

#include "cli/report_command.h"
#include "report/csv_report.h"
#include "report/json_report.h"
#include "support/corpus_files.h"
#include "ui/coverage_text.h"

namespace tidewell {
namespace {

ScanFacts fullCoverage() {
    ScanFacts facts;
    facts.prefetchEnabled = 1;
    facts.profileCoverageKnown = 1;
    facts.profilesOnMachine = 1;
    facts.profilesExamined = 1;
    return facts;
}

TEST(ScanCounters, EachCounterAloneIsAFailureEverywhereOrNowhere) {
    for (const ScanCounter& counter : scanCounters) {
        SCOPED_TRACE(testing::narrow(counter.reportLabel));
        ScanResults results;
        results.facts = fullCoverage();
        results.tally.*counter.member = 37;

        EXPECT_EQ(hasFailure(results.tally), counter.failure);
        EXPECT_EQ(reportIsComplete(results.tally, results.facts), !counter.failure);

        // A counter this machine's report lists is checked there, any other
        // in a report of evidence.
        ScanOrigin origin =
            counter.line == CounterLine::Image || counter.line == CounterLine::Copies
                ? testing::imageOrigin(L"E:\\case.E01")
            : counter.line == CounterLine::Collection ? testing::collectionOrigin(L"E:\\case.zip")
            : counter.line == CounterLine::Source
                ? testing::withSources(ScanOrigin{}, SourcePresence::Read)
            : counter.line != CounterLine::Always ? testing::evidenceOrigin(L"E:\\case")
                                                  : ScanOrigin{};
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

TEST(ScanCounters, KeysAreDistinctSnakeCaseNames) {
    std::set<std::string> seen;
    for (const ScanCounter& counter : scanCounters) {
        const std::string key = counter.key;
        EXPECT_TRUE(seen.insert(key).second) << key << " twice";
        EXPECT_FALSE(key.empty() || key.front() == '_' || key.back() == '_') << key;
        for (char c : key) {
            EXPECT_TRUE((c >= 'a' && c <= 'z') || c == '_') << key;
        }
    }
}

TEST(ScanCounters, TheCsvReportOfThisMachineKeepsItsTwentyNineLines) {
    ScanTally tally;
    for (const ScanCounter& counter : scanCounters) {
        tally.*counter.member = 5;
    }
    const auto linesOf = [](const std::wstring& header) {
        std::size_t lines = 0;
        for (std::size_t at = header.find(L",5\r\n"); at != std::wstring::npos;
             at = header.find(L",5\r\n", at + 1)) {
            ++lines;
        }
        return lines;
    };
    const ScanOrigin bare = testing::withSources(ScanOrigin{}, SourcePresence::NotPresent);
    EXPECT_EQ(linesOf(buildReportHeader(tally, fullCoverage(), bare)), 29u)
        << "the report of this machine, which keeps no other record, stays as it was";
    std::size_t imageOnly = 0;
    std::size_t copiesOnly = 0;
    std::size_t collectionOnly = 0;
    std::size_t ofOtherSources = 0;
    for (const ScanCounter& counter : scanCounters) {
        imageOnly += counter.line == CounterLine::Image ? 1 : 0;
        copiesOnly += counter.line == CounterLine::Copies ? 1 : 0;
        collectionOnly += counter.line == CounterLine::Collection ? 1 : 0;
        ofOtherSources += counter.line == CounterLine::Source ? 1 : 0;
    }
    const ScanOrigin keepingAll = testing::withSources(ScanOrigin{}, SourcePresence::Read);
    EXPECT_EQ(linesOf(buildReportHeader(tally, fullCoverage(), keepingAll)), 29u + ofOtherSources)
        << "this machine's report gives the counters of the other sources it keeps after the rest";
    EXPECT_EQ(linesOf(buildReportHeader(tally, fullCoverage(),
                                        testing::withSources(testing::evidenceOrigin(L"E:\\x", L""),
                                                             SourcePresence::NotPresent))),
              scanCounterCount - imageOnly - copiesOnly - collectionOnly)
        << "a report of a folder lists every counter but those of images and collections";
    EXPECT_EQ(linesOf(buildReportHeader(tally, fullCoverage(),
                                        testing::withSources(testing::imageOrigin(L"E:\\x.E01"),
                                                             SourcePresence::NotPresent))),
              scanCounterCount - collectionOnly)
        << "a report of an image lists every counter but a collection's own";
    EXPECT_EQ(linesOf(buildReportHeader(
                  tally, fullCoverage(),
                  testing::withSources(testing::collectionOrigin(L"E:\\x.zip"),
                                       SourcePresence::NotPresent))),
              scanCounterCount - imageOnly)
        << "a report of a collection lists every counter but an image's own";
    const std::string json = jsonReportOpening(tally, fullCoverage(), ScanOrigin{});
    for (const ScanCounter& counter : scanCounters) {
        EXPECT_NE(json.find(std::string("\"") + counter.key + "\":5"), std::string::npos)
            << "the JSON document of this machine gives " << counter.key;
    }
}

TEST(ScanCounters, TheReportListsEveryCounterOnceInTheTablesOrder) {
    ScanTally tally;
    std::uint32_t value = 1;
    for (const ScanCounter& counter : scanCounters) {
        tally.*counter.member = value++;
    }
    // No real scan reads an image and a collection at once; this origin
    // claims both so that every counter has its line.
    ScanOrigin everything =
        testing::withSources(testing::imageOrigin(L"E:\\x.E01"), SourcePresence::NotPresent);
    everything.collection = true;
    const std::wstring header = buildReportHeader(tally, fullCoverage(), everything);
    std::size_t at = 0;
    value = 1;
    for (const ScanCounter& counter : scanCounters) {
        const std::wstring line = L"\r\n# " + std::wstring(counter.reportLabel) + L"," +
                                  std::to_wstring(value++) + L"\r\n";
        const std::size_t found = header.find(line, at);
        ASSERT_NE(found, std::wstring::npos) << testing::narrow(counter.reportLabel);
        at = found + 1;
    }
}

} // namespace
} // namespace tidewell
