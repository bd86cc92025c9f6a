// Prefetch files name the files a program loaded by volume-device paths,
// "\VOLUME{" + 16 hex digits + "-" + the volume serial + "}" + the path on
// that volume. This ties such a path to the one mounted volume carrying the
// serial and rewrites it onto that volume's mount point.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tidewell {

struct VolumePath {
    std::uint64_t group = 0; // the 16-digit group; it takes no part in matching
    std::uint32_t serial = 0;
    std::wstring rest; // the path on the volume, normally from a backslash
};

// False when the text does not have the volume-device form exactly.
bool parseVolumePath(std::wstring_view text, VolumePath& parsed);

struct VolumeResolution {
    bool identified = false;
    std::wstring path;                   // the rewritten path when identified
    std::uint32_t volumesWithSerial = 0; // mounted volumes that carry the serial
};

// Lists the machine's volumes afresh on every call (no cache).
VolumeResolution resolveVolumePath(const std::wstring& referenced);

} // namespace tidewell
