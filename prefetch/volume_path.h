// Prefetch files name the files a program loaded by the kernel's names for
// their volumes: "\VOLUME{" + 16 hex digits + "-" + the volume serial + "}"
// (Windows 10 and later), or a device path such as
// "\DEVICE\HARDDISKVOLUME2" (Windows XP to 8.1), whose serial the file's own
// volume list gives. This ties such a path to the one mounted volume
// carrying the serial and rewrites it onto that volume's mount point.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "prefetch/prefetch_details.h"

namespace tidewell {

struct VolumePath {
    std::uint64_t group = 0; // the 16-digit group; it takes no part in matching
    std::uint32_t serial = 0;
    std::wstring rest; // the path on the volume, normally from a backslash
};

// False when the text does not have the volume-device form exactly.
bool parseVolumePath(std::wstring_view text, VolumePath& parsed);

struct DevicePath {
    std::wstring_view device; // "\DEVICE\" and the device's name
    std::wstring_view rest;   // the path on the device, from its backslash
};

// False when the text does not begin with "\DEVICE\" (ASCII case ignored)
// and a device name.
bool parseDevicePath(std::wstring_view text, DevicePath& parsed);

// A shadow copy is a snapshot of a volume: it carries the serial of the
// volume it copies, so a path on it never names a file on that volume.
bool isShadowCopyDevice(std::wstring_view device);

// The path on its volume, with the volume's prefix (either form) taken off;
// false for a path in neither form.
bool pathAfterVolumePrefix(std::wstring_view text, std::wstring_view& rest);

// Where the volume a path names is looked for: among this machine's mounted
// volumes, or, for a copy of another machine's system drive, on the one
// volume its own Prefetch files prove to be its system volume (no volume of
// the examined machine is mounted here).
struct VolumeSource {
    bool mountedVolumes = true;
    bool systemVolumeKnown = false;
    std::uint32_t systemSerial = 0;
    std::wstring systemMountPoint; // such as C:\ , as the examined machine knew it
};

struct VolumeResolution {
    bool identified = false;
    std::wstring path;                   // the rewritten path when identified
    std::uint32_t volumesWithSerial = 0; // mounted volumes that carry the serial
};

// The serial and the path on the volume that a referenced path names: from a
// \VOLUME{...} prefix directly; for a device path, from volumes, the file's
// own list, when its entries for that device agree on one serial. Nothing
// for any other form, and for a shadow copy.
bool serialOfPath(const std::wstring& referenced, const std::vector<PrefetchVolume>& volumes,
                  VolumePath& named);

// Lists the machine's volumes afresh on every call (no cache).
VolumeResolution resolveVolumePath(const std::wstring& referenced,
                                   const std::vector<PrefetchVolume>& volumes,
                                   const VolumeSource& source = VolumeSource{});

} // namespace tidewell
