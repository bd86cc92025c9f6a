// The commit through the real kernel32, under Wine: a destination that
// another program holds open without delete sharing cannot be replaced, and
// stays whole.
#include "report/report_commit.h"

#include <string>

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "prefetch/prefetch_source.h"
#include "support/origins.h"

namespace tidewell {
namespace {

RecordList twoRecords() {
    return RecordList(2, makeRecord(prefetchSource));
}

std::wstring temporaryFolder() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

std::string readAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<unreadable>";
    }
    char buffer[256];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

TEST(ReportCommitWin32, ADestinationHeldOpenWithoutDeleteSharingIsLeftWhole) {
    const std::wstring destination = temporaryFolder() + L"tidewell-held.csv";
    DeleteFileW(destination.c_str());
    HANDLE held = CreateFileW(destination.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(held, "old report", 10, &written, nullptr));

    EXPECT_FALSE(writeReport(destination, twoRecords(), ScanTally{}, ScanFacts{},
                             testing::thisMachineOrigin(L"")));
    const DWORD attributes = GetFileAttributesW((destination + L".partial0").c_str());
    EXPECT_EQ(attributes, INVALID_FILE_ATTRIBUTES) << "no temporary file is left";
    CloseHandle(held);
    EXPECT_EQ(readAll(destination), "old report");

    // Once the other program lets go, the same export succeeds.
    EXPECT_TRUE(writeReport(destination, twoRecords(), ScanTally{}, ScanFacts{},
                            testing::thisMachineOrigin(L"")));
    EXPECT_EQ(readAll(destination).substr(0, 2), "\xFF\xFE");
    DeleteFileW(destination.c_str());
}

} // namespace
} // namespace tidewell
