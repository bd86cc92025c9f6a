// How the hive fuzz targets read their input: the first four bytes give the
// primary file's length (cut to what is there), the rest after it is its
// first log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hive/hive_load.h"

namespace tidewell::fuzz {

// False where the input is too short to name a length.
inline bool loadFuzzHive(const std::uint8_t* data, std::size_t size, HiveImage& image,
                         HiveLoad& load) {
    if (size < 4) {
        return false;
    }
    std::size_t primarySize = static_cast<std::size_t>(data[0]) | (std::size_t{data[1]} << 8) |
                              (std::size_t{data[2]} << 16) | (std::size_t{data[3]} << 24);
    primarySize = primarySize > size - 4 ? size - 4 : primarySize;
    std::vector<std::uint8_t> primary(data + 4, data + 4 + primarySize);
    const ByteView log{data + 4 + primarySize, size - 4 - primarySize};
    load = loadHive(std::move(primary), log, {}, image);
    return true;
}

} // namespace tidewell::fuzz
