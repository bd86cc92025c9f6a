#include "prefetch/volume_path.h"

#include <vector>

#include "platform/error_codes.h"
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

VolumeResolution resolveVolumePath(const std::wstring& referenced) {
    VolumeResolution result;
    VolumePath parsed;
    if (!parseVolumePath(referenced, parsed)) {
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
    std::size_t firstNonSeparator = 0;
    while (firstNonSeparator < parsed.rest.size() && parsed.rest[firstNonSeparator] == L'\\') {
        ++firstNonSeparator;
    }
    result.path = mountPoint;
    if (result.path.back() != L'\\') {
        result.path.push_back(L'\\');
    }
    result.path.append(parsed.rest, firstNonSeparator);
    result.identified = true;
    return result;
}

} // namespace tidewell
