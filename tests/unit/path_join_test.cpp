#include "platform/path_join.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(JoinPath, OneBackslashBetweenFolderAndName) {
    EXPECT_EQ(joinPath(L"C:\\Windows", L"Prefetch"), L"C:\\Windows\\Prefetch");
    EXPECT_EQ(joinPath(L"C:\\Windows\\", L"Prefetch"), L"C:\\Windows\\Prefetch");
    EXPECT_EQ(joinPath(L"C:\\", L"*"), L"C:\\*");
}

TEST(JoinPath, AnEmptyFolderGivesTheNameAlone) {
    EXPECT_EQ(joinPath(L"", L"NOTEPAD.EXE-1A2B3C4D.pf"), L"NOTEPAD.EXE-1A2B3C4D.pf");
    EXPECT_EQ(joinPath(L"", L""), L"");
}

TEST(JoinPath, TheNameIsNotExamined) {
    // An empty name leaves the separator; a name's own backslashes stay.
    EXPECT_EQ(joinPath(L"C:\\Program Files", L""), L"C:\\Program Files\\");
    EXPECT_EQ(joinPath(L"C:\\Program Files", L"\\App\\a.exe"), L"C:\\Program Files\\\\App\\a.exe");
    // A forward slash is not a separator to Windows paths here.
    EXPECT_EQ(joinPath(L"C:/x/", L"y"), L"C:/x/\\y");
}

} // namespace
} // namespace tidewell
