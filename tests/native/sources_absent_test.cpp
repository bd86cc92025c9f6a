// A machine that keeps none of the sources not every Windows keeps (an
// older Windows, Wine): each is said to be not present, counts no failure,
// and this machine's report stays as it was before they were read at all.
#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "featureusage/featureusage_source.h"
#include "featureusage/sample/featureusage_keys.h"
#include "report/csv_report.h"
#include "sample/evidence_tree.h"
#include "scan/source_table.h"
#include "support/scans.h"
#include "ui/coverage_text.h"

namespace tidewell {
namespace {

// The sources a machine may not keep, as the banner lists them.
std::wstring listedNames() {
    std::vector<std::wstring> names;
    for (const RecordSource* source : tableSources()) {
        if (source->coverage.mayBeAbsent) {
            names.push_back(source->coverage.bannerName);
        }
    }
    std::wstring text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? L"" : i + 1 == names.size() ? L" and " : L", ") + names[i];
    }
    return text;
}

void expectNotPresentAndNothingCounted(const ScanResults& results) {
    std::size_t mayBeAbsent = 0;
    for (const SourceReading& reading : results.origin.sources) {
        if (reading.source->coverage.mayBeAbsent) {
            ++mayBeAbsent;
            EXPECT_EQ(reading.presence, SourcePresence::NotPresent)
                << testing::narrow(reading.source->word);
        }
    }
    EXPECT_GE(mayBeAbsent, 3u);
    for (const ScanTally::Count& held : results.tally.counts) {
        if (held.counter->line == CounterLine::Source) {
            EXPECT_EQ(held.count, 0u) << held.counter->key;
        }
    }
}

TEST(SourcesAbsent, ACopyWithoutThemSaysNotPresentAndCountsNoFailure) {
    testing::TempFolder root;
    sample::writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(root.path, "Windows/System32/config/SOFTWARE",
                              sample::writeHive(sample::softwareHive({})));
    sample::writeEvidenceFile(root.path, "Windows/Prefetch/.keep", {});
    const ScanResults results = testing::scanEvidence(root.path);
    expectNotPresentAndNothingCounted(results);
    const std::wstring header = buildReportHeader(results.tally, results.facts, results.origin);
    for (const SourceReading& reading : results.origin.sources) {
        const SourceCoverage& coverage = reading.source->coverage;
        if (!coverage.mayBeAbsent) {
            continue;
        }
        EXPECT_NE(header.find(L"\r\n# " + std::wstring(coverage.reportLabel) + L",not present\r\n"),
                  std::wstring::npos)
            << "a copy's report states every source";
        EXPECT_EQ(header.find(std::wstring(L"# ") + coverage.reportCaution[0]), std::wstring::npos)
            << "no caution for a source not read";
    }
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin)
                  .find(L"  Not present on the examined machine: " + listedNames() + L"."),
              std::wstring::npos);
}

TEST(SourcesAbsent, ThisMachineWithoutThemKeepsItsReportAsItWas) {
    fake::resetAll();
    fake::createRegistryKey(RegistryRoot::LocalMachine,
                            L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList");
    fake::createRegistryKey(RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet");
    testing::TempFolder windows;
    fake::setWindowsDirectory(windows.text());
    const ScanResults results = testing::scanThisMachine();
    fake::resetAll();
    expectNotPresentAndNothingCounted(results);
    const std::wstring header = buildReportHeader(results.tally, results.facts, results.origin);
    for (const RecordSource* source : tableSources()) {
        if (source->coverage.mayBeAbsent) {
            EXPECT_EQ(header.find(source->coverage.reportLabel), std::wstring::npos)
                << testing::narrow(source->word);
        }
    }
    EXPECT_NE(bannerText(results.tally, results.facts, results.origin)
                  .find(L"Not present on this machine: " + listedNames() + L"."),
              std::wstring::npos);
}

// A header line's value is what follows its last comma: a source's note
// with commas of its own keeps the value whole, written with semicolons.
TEST(SourcesPresent, ANoteWithCommasLeavesTheLinesValueWhole) {
    testing::TempFolder root;
    sample::writeEvidenceFile(root.path, "Windows/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(
        root.path, "Windows/System32/config/SOFTWARE",
        sample::writeHive(sample::softwareHive({{L"S-1-5-21-1-2-3-1001", L"C:\\Users\\alice"}})));
    sample::HiveSpec hive;
    sample::addFeatureUsageCounts(hive.root, L"AppLaunch", {{L"Chrome", 3}});
    sample::writeEvidenceFile(root.path, "Users/alice/NTUSER.DAT", sample::writeHive(hive));
    const ScanResults results = testing::scanEvidence(root.path);
    const std::wstring note = readingOf(results.origin, featureUsageSource).note;
    ASSERT_NE(note.find(L','), std::wstring::npos) << "the note itself holds a comma";
    const std::wstring header = buildReportHeader(results.tally, results.facts, results.origin);
    const std::wstring start = L"\r\n# FeatureUsage,";
    const std::size_t at = header.find(start);
    ASSERT_NE(at, std::wstring::npos);
    const std::wstring line = header.substr(at + 2, header.find(L"\r\n", at + 2) - (at + 2));
    EXPECT_EQ(line.substr(line.rfind(L',') + 1),
              L"read (AppLaunch; AppSwitched and ShowJumpView of 1 of 1 users' hives)");
}

} // namespace
} // namespace tidewell
