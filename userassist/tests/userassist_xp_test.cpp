// A real Windows XP user's hive in a copy of a drive: its 16-byte UserAssist
// entries are launches, counted from 5 as XP wrote them, and its sums and
// session values are the shell's bookkeeping.
#include <gtest/gtest.h>

#include "sample/evidence_tree.h"
#include "support/scans.h"
#include "ui/detail_text.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_details.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

const std::wstring xpSid = L"S-1-5-21-1-2-3-1003";

TEST(UserAssistWindowsXp, ARealXpUsersLaunchesAreRead) {
    TIDEWELL_REQUIRE_CORPUS("hives/plaso");
    testing::TempFolder root;
    sample::writeEvidenceFile(root.path, "WINDOWS/System32/config/SOFTWARE",
                              sample::writeHive(sample::softwareHive(
                                  {{xpSid, L"C:\\Documents and Settings\\Mr. Evil"}})));
    sample::writeEvidenceFile(root.path, "WINDOWS/System32/config/SYSTEM",
                              sample::writeHive(sample::systemHive(3)));
    sample::writeEvidenceFile(
        root.path, "Documents and Settings/Mr. Evil/NTUSER.DAT",
        testing::readWholeFile(testing::corpusRoot() / "hives/plaso/NTUSER.DAT"));
    const ScanResults results = testing::scanEvidence(root.path);
    const std::vector<const LaunchRecord*> records = testing::recordsOf(results, userAssistSource);
    // Eleven launches; the session values, the counter and the two sums
    // per kind of launch are bookkeeping.
    ASSERT_EQ(records.size(), 11u);
    EXPECT_EQ(results.tally[userAssistParsed], 11u);
    EXPECT_EQ(results.tally[userAssistBookkeepingSkipped], 5u);
    EXPECT_EQ(results.tally[userAssistWrongSize], 0u);
    EXPECT_EQ(results.tally[userAssistXpCountBelowStart], 0u);
    for (const LaunchRecord* record : records) {
        EXPECT_NE(userAssistDetails(*record)->windowsXpLayout, 0);
        EXPECT_EQ(record->userSid, xpSid);
    }
    const LaunchRecord* notepad = testing::recordNamed(records, L"NOTEPAD.EXE");
    ASSERT_NE(notepad, nullptr);
    EXPECT_EQ(notepad->path, L"C:\\WINDOWS\\system32\\NOTEPAD.EXE");
    EXPECT_EQ(notepad->runCount, 2u);
    ASSERT_EQ(notepad->runTimes.size(), 1u);
    EXPECT_EQ(notepad->runTimes[0], 0x01CA1516F2877D70ULL);
    // %csidl2% is the user's Programs folder, which the hive's own shell
    // folders place.
    const LaunchRecord* msn = testing::recordNamed(records, L"MSN.lnk");
    ASSERT_NE(msn, nullptr);
    EXPECT_EQ(msn->runCount, 14u);
    EXPECT_EQ(msn->pathStatus, PathStatus::Resolved) << testing::narrow(msn->path);
    EXPECT_TRUE(msn->path.ends_with(L"\\Start Menu\\Programs\\MSN.lnk"))
        << testing::narrow(msn->path);
    DetailContext context;
    context.evidence = true;
    const std::wstring detail = buildDetailText(*notepad, context);
    EXPECT_NE(detail.find(L"Entry:             Windows XP's (UEME_RUNPATH)"), std::wstring::npos)
        << testing::narrow(detail);
    EXPECT_NE(detail.find(L"Times run:         2\r\n"), std::wstring::npos);
    EXPECT_EQ(detail.find(L"Window focus:"), std::wstring::npos);
}

} // namespace
} // namespace tidewell
