// Bytes read at an offset of something larger than memory should hold at once
// (a disk image, a volume, a zip): the readers that check a structure before
// a library walks it take their bytes through this, so that a test or a fuzz
// target can hand them bytes in memory instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

namespace tidewell {

// Reads length bytes at offset; false when they cannot all be had.
using BytesAt = std::function<bool(std::uint64_t offset, std::uint8_t* buffer, std::size_t length)>;

// The same over bytes in memory, which must outlive it.
inline BytesAt bytesInMemory(const std::uint8_t* data, std::size_t size) {
    return [data, size](std::uint64_t offset, std::uint8_t* buffer, std::size_t length) {
        if (offset > size || length > size - offset) {
            return false;
        }
        if (length != 0) {
            std::memcpy(buffer, data + offset, length);
        }
        return true;
    };
}

} // namespace tidewell
