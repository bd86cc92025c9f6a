// FILETIME values are carried as 64-bit unsigned counts of 100-nanosecond
// intervals since 1601-01-01 00:00 UTC, on every platform.
#pragma once

#include <cstdint>

namespace tidewell {

using FileTime = std::uint64_t;

inline constexpr FileTime fileTimeTicksPerSecond = 10000000ULL;
inline constexpr FileTime fileTimeTicksPerDay = 864000000000ULL;

// 1990-01-01 00:00:00 UTC: nothing either source records can be older.
inline constexpr FileTime earliestPossibleDate = 122756256000000000ULL;

// Seconds between 1601-01-01 and the POSIX epoch 1970-01-01.
inline constexpr std::int64_t fileTimeEpochToUnixSeconds = 11644473600LL;

} // namespace tidewell
