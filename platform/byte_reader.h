// Bounded little-endian reads over bytes that came from outside the program.
// No structure is ever laid over the bytes: every field is read through these
// functions, which check the offset in 64-bit arithmetic and report failure
// instead of reading past the end.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tidewell {

struct ByteView {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    // True when [offset, offset + length) lies inside the bytes.
    bool contains(std::uint64_t offset, std::uint64_t length) const {
        return data != nullptr && offset <= size && length <= size - offset;
    }

    bool readU16(std::uint64_t offset, std::uint16_t& out) const {
        if (!contains(offset, 2)) {
            return false;
        }
        const std::uint8_t* p = data + offset;
        out = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
        return true;
    }

    bool readU32(std::uint64_t offset, std::uint32_t& out) const {
        if (!contains(offset, 4)) {
            return false;
        }
        const std::uint8_t* p = data + offset;
        out = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
              (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
        return true;
    }

    bool readU64(std::uint64_t offset, std::uint64_t& out) const {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        if (!readU32(offset, low) || !readU32(offset + 4, high)) {
            return false;
        }
        out = (static_cast<std::uint64_t>(high) << 32) | low;
        return true;
    }
};

} // namespace tidewell
