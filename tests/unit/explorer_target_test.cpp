// Show in Explorer only for files on this machine.
#include "ui/explorer_target.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(ExplorerTarget, OnlyResolvedLocalPathsWithoutQuotes) {
    LaunchRecord record;
    record.pathStatus = PathStatus::Resolved;
    record.path = L"C:\\Windows\\notepad.exe";
    EXPECT_EQ(explorerSelectParameter(record), L"/select,\"C:\\Windows\\notepad.exe\"");
    for (const wchar_t* refused :
         {L"\\\\host\\share\\tool.exe", L"//host/share/tool.exe", L"C:\\x\" /root,\"C:\\", L""}) {
        record.path = refused;
        EXPECT_EQ(explorerSelectParameter(record), std::nullopt) << refused;
    }
    record.path = L"C:\\Windows\\notepad.exe";
    for (std::uint32_t status : {1u, 2u, 3u, 4u, 7u}) {
        record.pathStatus = static_cast<PathStatus>(status);
        EXPECT_EQ(explorerSelectParameter(record), std::nullopt) << status;
    }
}

TEST(ExplorerTarget, CopyPathFallsBackToTheName) {
    LaunchRecord record;
    record.name = L"Microsoft.Windows.Explorer";
    EXPECT_EQ(copyPathText(record), L"Microsoft.Windows.Explorer");
    record.path = L"C:\\a.exe";
    EXPECT_EQ(copyPathText(record), L"C:\\a.exe");
}

} // namespace
} // namespace tidewell
