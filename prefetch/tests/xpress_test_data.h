// Inputs of known character for compression tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tidewell::testing {

std::vector<std::uint8_t> randomBytes(std::size_t size, std::uint32_t seed);
std::vector<std::uint8_t> repetitiveBytes(std::size_t size);
// Looks like an unpacked Prefetch image: a header, UTF-16 volume paths that
// repeat with small changes, and arrays of small integers.
std::vector<std::uint8_t> prefetchLikeBytes(std::size_t size, std::uint32_t seed);

// Decodes with the program's own decoder; nothing when it refuses.
std::optional<std::vector<std::uint8_t>> decodeXpress(const std::vector<std::uint8_t>& stream,
                                                      std::size_t outputSize);

} // namespace tidewell::testing
