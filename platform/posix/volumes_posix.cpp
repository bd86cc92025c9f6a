// No volume of a Windows machine is mounted here as Windows would name it:
// the listing cannot be started.
#include "platform/error_codes.h"
#include "platform/volumes.h"

namespace tidewell {

VolumeListing::~VolumeListing() {
    closeVolumeListing(*this);
}

bool findFirstVolume(VolumeListing& listing, std::wstring&) {
    closeVolumeListing(listing);
    return false;
}

bool findNextVolume(VolumeListing&, std::wstring&, std::uint32_t& error) {
    error = ERROR_INVALID_HANDLE;
    return false;
}

void closeVolumeListing(VolumeListing& listing) {
    listing.handle = nullptr;
}

bool getVolumeSerial(const std::wstring&, std::uint32_t&) {
    return false;
}

bool getVolumeMountPoints(const std::wstring&, std::vector<std::wstring>& mountPoints) {
    mountPoints.clear();
    return false;
}

bool getVolumeDevice(const std::wstring&, std::wstring&) {
    return false;
}

} // namespace tidewell
