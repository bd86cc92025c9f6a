// The detail text as the window shows it: every label's padding and every
// continuation's indent one tab, and nothing else touched.
#include "ui/detail_columns.h"

#include <gtest/gtest.h>

#include "core/record_source.h"
#include "ui/detail_text.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

TEST(DetailColumns, LabelsAndContinuationsMeetTheValuesAtOneTab) {
    const std::wstring text = L"NOTEPAD.EXE\r\n"
                              L"\r\n"
                              L"Source:            Prefetch (system record of program starts)\r\n"
                              L"Path status:       volume not identified  \u2014 the kernel's\r\n"
                              L"                   name for a volume\r\n"
                              L"Times run:         12\r\n"
                              L"\r\n"
                              L"Recorded run times:\r\n"
                              L"    2024-03-31 01:30:00\r\n";
    EXPECT_EQ(detailTextWithTabs(text),
              L"NOTEPAD.EXE\r\n"
              L"\r\n"
              L"Source:\tPrefetch (system record of program starts)\r\n"
              L"Path status:\tvolume not identified  \u2014 the kernel's\r\n"
              L"\tname for a volume\r\n"
              L"Times run:\t12\r\n"
              L"\r\n"
              L"Recorded run times:\r\n"
              L"    2024-03-31 01:30:00\r\n");
    EXPECT_EQ(detailLabels(detailTextWithTabs(text)),
              (std::vector<std::wstring>{L"Source:", L"Path status:", L"Times run:"}));
}

TEST(DetailColumns, LinesThatAreNoLabelAndValueStayAsTheyAre) {
    for (const std::wstring& line : {
             std::wstring(L"    Placed on the drive: C:\\x.exe"), // a note, indented four
             std::wstring(L"A sentence: with a colon but no padding to the column"),
             std::wstring(L"Label:  too short"),                   // a value before the column
             std::wstring(L"Referenced files (3), every one:  x"), // a label past the column
             std::wstring(L"                    indented twenty"),
             std::wstring(L"Only a label:      "),
         }) {
        EXPECT_EQ(detailTextWithTabs(line), line) << testing::PrintToString(line);
        EXPECT_EQ(detailTextWithTabs(line + L"\r\n"), line + L"\r\n");
    }
    EXPECT_EQ(detailTextWithTabs(L""), L"");
}

TEST(DetailColumns, EveryValueOfARealDetailTextIsFound) {
    LaunchRecord record = makeRecord(userAssistSource);
    record.name = L"app.exe";
    record.path = L"C:\\Tools\\app.exe";
    record.pathStatus = PathStatus::Resolved;
    record.runCount = 4;
    record.runCountKnown = 1;
    record.userName = L"analyst";
    record.userSid = L"S-1-5-21-1-2-3-1001";
    const std::wstring tabbed = detailTextWithTabs(buildDetailText(record, DetailContext{}));
    EXPECT_EQ(detailLabels(tabbed),
              (std::vector<std::wstring>{L"Source:", L"Path:", L"Path status:", L"Times run:",
                                         L"User:", L"User SID:"}));
    // Each label loses its padding and nothing else: the texts differ by
    // exactly the spaces that made the column.
    std::wstring spaced = tabbed;
    for (std::size_t at = spaced.find(L'\t'); at != std::wstring::npos;
         at = spaced.find(L'\t', at)) {
        const std::size_t lineStart = spaced.rfind(L'\n', at) + 1;
        spaced.replace(at, 1, std::wstring(19 - (at - lineStart), L' '));
    }
    EXPECT_EQ(spaced, buildDetailText(record, DetailContext{}));
}

} // namespace
} // namespace tidewell
