#include "hive/marvin32.h"

namespace tidewell {

namespace {

std::uint32_t rotateLeft(std::uint32_t value, int bits) {
    return (value << bits) | (value >> (32 - bits));
}

void mix(std::uint32_t& low, std::uint32_t& high) {
    high ^= low;
    low = rotateLeft(low, 20);
    low += high;
    high = rotateLeft(high, 9);
    high ^= low;
    low = rotateLeft(low, 27);
    low += high;
    high = rotateLeft(high, 19);
}

std::uint32_t littleEndian(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    }
    return value;
}

} // namespace

std::uint64_t marvin32(const std::uint8_t* data, std::size_t size, std::uint64_t seed) {
    std::uint32_t low = static_cast<std::uint32_t>(seed);
    std::uint32_t high = static_cast<std::uint32_t>(seed >> 32);
    std::size_t at = 0;
    for (; size - at >= 4; at += 4) {
        low += littleEndian(data + at, 4);
        mix(low, high);
    }
    // The last one to three bytes, then a single 0x80 byte, fill the final word.
    const std::size_t rest = size - at;
    low += littleEndian(data + at, rest) | (0x80u << (8 * rest));
    mix(low, high);
    mix(low, high);
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

} // namespace tidewell
