#include "prefetch/volume_path.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/error_codes.h"
#include "platform/text_fold.h"
#include "platform/volumes.h"

namespace tidewell {

namespace {

constexpr std::wstring_view volumePrefix = L"\\VOLUME{";
constexpr std::size_t groupStart = 8;
constexpr std::size_t groupDigits = 16;
constexpr std::size_t dashAt = 24;
constexpr std::size_t serialStart = 25;
constexpr std::size_t serialDigits = 8;
constexpr std::size_t braceAt = 33;
constexpr std::size_t restStart = 34;
constexpr std::wstring_view devicePrefix = L"\\DEVICE\\";
constexpr std::wstring_view shadowCopyName = L"HARDDISKVOLUMESHADOWCOPY";

int hexValue(wchar_t unit) {
    if (unit >= L'0' && unit <= L'9') {
        return unit - L'0';
    }
    if (unit >= L'a' && unit <= L'f') {
        return unit - L'a' + 10;
    }
    if (unit >= L'A' && unit <= L'F') {
        return unit - L'A' + 10;
    }
    return -1;
}

bool readHex(std::wstring_view text, std::size_t start, std::size_t digits, std::uint64_t& value) {
    value = 0;
    for (std::size_t i = start; i < start + digits; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0) {
            return false;
        }
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    return true;
}

// The mount point joined with the path on the volume, leading backslashes
// of the path collapsed into the one the join puts in.
std::wstring rewriteOnto(const std::wstring& mountPoint, const std::wstring& rest) {
    std::size_t firstNonSeparator = 0;
    while (firstNonSeparator < rest.size() && rest[firstNonSeparator] == L'\\') {
        ++firstNonSeparator;
    }
    std::wstring path = mountPoint;
    if (path.empty() || path.back() != L'\\') {
        path.push_back(L'\\');
    }
    path.append(rest, firstNonSeparator);
    return path;
}

} // namespace

bool parseVolumePath(std::wstring_view text, VolumePath& parsed) {
    if (text.size() < restStart || text.substr(0, volumePrefix.size()) != volumePrefix ||
        text[dashAt] != L'-' || text[braceAt] != L'}') {
        return false;
    }
    std::uint64_t group = 0;
    std::uint64_t serial = 0;
    if (!readHex(text, groupStart, groupDigits, group) ||
        !readHex(text, serialStart, serialDigits, serial)) {
        return false;
    }
    parsed.group = group;
    parsed.serial = static_cast<std::uint32_t>(serial);
    parsed.rest.assign(text.substr(restStart));
    return true;
}

bool serialOfPath(const std::wstring& referenced, const std::vector<PrefetchVolume>& volumes,
                  VolumePath& named) {
    if (parseVolumePath(referenced, named)) {
        return true;
    }
    DevicePath device;
    if (!parseDevicePath(referenced, device) || isShadowCopyDevice(device.device)) {
        return false;
    }
    std::optional<std::uint32_t> serial;
    for (const PrefetchVolume& volume : volumes) {
        if (!equalsFolded(volume.devicePath, device.device)) {
            continue;
        }
        if (serial && *serial != volume.serial) {
            return false; // one device name, two volumes: which one is not known
        }
        serial = volume.serial;
    }
    if (!serial) {
        return false;
    }
    named = VolumePath{0, *serial, std::wstring(device.rest)};
    return true;
}

bool parseDevicePath(std::wstring_view text, DevicePath& parsed) {
    if (!startsWithFolded(text, devicePrefix)) {
        return false;
    }
    const std::size_t nameEnd = std::min(text.find(L'\\', devicePrefix.size()), text.size());
    if (nameEnd == devicePrefix.size()) {
        return false; // no device name
    }
    parsed.device = text.substr(0, nameEnd);
    parsed.rest = text.substr(nameEnd);
    return true;
}

bool isShadowCopyDevice(std::wstring_view device) {
    return device.size() > devicePrefix.size() &&
           startsWithFolded(device.substr(devicePrefix.size()), shadowCopyName);
}

bool pathAfterVolumePrefix(std::wstring_view text, std::wstring_view& rest) {
    VolumePath volume;
    if (parseVolumePath(text, volume)) {
        rest = text.substr(restStart);
        return true;
    }
    DevicePath device;
    if (parseDevicePath(text, device)) {
        rest = device.rest;
        return true;
    }
    return false;
}

VolumeResolution resolveVolumePath(const std::wstring& referenced,
                                   const std::vector<PrefetchVolume>& volumes,
                                   const VolumeSource& source) {
    VolumeResolution result;
    VolumePath parsed;
    if (!serialOfPath(referenced, volumes, parsed)) {
        return result;
    }
    if (!source.mountedVolumes) {
        if (source.systemVolumeKnown && parsed.serial == source.systemSerial) {
            result.volumesWithSerial = 1;
            result.path = rewriteOnto(source.systemMountPoint, parsed.rest);
            result.identified = true;
        }
        return result;
    }
    VolumeListing listing;
    std::wstring volumeName;
    if (!findFirstVolume(listing, volumeName)) {
        return result;
    }
    std::wstring mountPoint;
    std::vector<std::wstring> mountPoints;
    std::uint32_t listingError = ERROR_SUCCESS;
    do {
        std::uint32_t serial = 0;
        if (!getVolumeSerial(volumeName, serial) || serial != parsed.serial) {
            continue;
        }
        if (!getVolumeMountPoints(volumeName, mountPoints) || mountPoints.empty() ||
            mountPoints.front().empty()) {
            continue; // no mount point: the volume cannot be reached by a path
        }
        if (result.volumesWithSerial == 0) {
            mountPoint = mountPoints.front();
        }
        ++result.volumesWithSerial;
    } while (findNextVolume(listing, volumeName, listingError));
    closeVolumeListing(listing);

    // A listing that broke off may have hidden a second volume with the
    // serial: a single match among the volumes seen proves nothing.
    if (listingError != ERROR_NO_MORE_FILES || result.volumesWithSerial != 1) {
        return result;
    }
    result.path = rewriteOnto(mountPoint, parsed.rest);
    result.identified = true;
    return result;
}

} // namespace tidewell
