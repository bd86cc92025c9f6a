// Marvin32, the keyed 64-bit hash with which Windows 8.1 and later sign the
// entries of a hive's transaction logs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tidewell {

// The seed of every hive log entry's two hashes.
inline constexpr std::uint64_t hiveLogHashSeed = 0x82EF4D887A4E55C5ULL;

std::uint64_t marvin32(const std::uint8_t* data, std::size_t size, std::uint64_t seed);

} // namespace tidewell
