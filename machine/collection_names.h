// How a Velociraptor collection names what it collected. Each part of a
// stored path is the original name with every byte outside a small safe set
// written as %XX (so C: is stored as C%3A and \\.\C: as %5C%5C.%5CC%3A); the
// first parts below uploads/ are the accessor the file was read through and
// the device it was read from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tidewell {

// The original name of one stored part: false (and the stored text as it
// stands, each byte one unit) when a % is not followed by two hexadecimal
// digits or the bytes it gives are not UTF-8.
bool decodeStoredName(std::string_view stored, std::wstring& name);

// What a device part names: a drive (C:, \\.\C:), a shadow copy
// (\\?\GLOBALROOT\Device\HarddiskVolumeShadowCopy3), or another device.
struct CollectedDevice {
    std::wstring drive;           // "C:" for a drive letter; empty otherwise
    std::uint32_t shadowCopy = 0; // the shadow copy's number, from 1; 0: none
};
CollectedDevice parseDeviceName(std::wstring_view device);

} // namespace tidewell
