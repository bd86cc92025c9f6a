// Local time through the real Windows calls (under Wine in the test build):
// each timestamp gets the offset in force at that moment.
#include "platform/timestamp_format.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace tidewell {
namespace {

constexpr FileTime winterNoonUtc = 133497936000000000ULL; // 2024-01-15 12:00:00 UTC
constexpr FileTime summerNoonUtc = 133655184000000000ULL; // 2024-07-15 12:00:00 UTC

TEST(FormatTimestampWin32, WinterAndSummerInCentralEurope) {
    const char* zone = std::getenv("TZ");
    if (zone == nullptr || std::string(zone) != "Europe/Berlin") {
        GTEST_SKIP() << "run with TZ=Europe/Berlin (ctest sets it) to check daylight saving";
    }
    EXPECT_EQ(formatTimestamp(winterNoonUtc), L"2024-01-15 13:00:00");
    EXPECT_EQ(formatTimestamp(summerNoonUtc), L"2024-07-15 14:00:00");
}

TEST(FormatTimestampWin32, ValuesWindowsCannotConvertGiveEmptyText) {
    EXPECT_EQ(formatTimestamp(0xFFFFFFFFFFFFFFFFULL), L"");
    EXPECT_EQ(formatTimestamp(winterNoonUtc + 9999999).size(), 19u);
}

} // namespace
} // namespace tidewell
