// Volumes from the table a test sets.
#include "platform/volumes.h"

#include "platform/standin/standin_state.h"

namespace tidewell {

namespace {

const standin::Volume* findVolume(const std::wstring& name) {
    for (const standin::Volume& volume : standin::state().volumes) {
        if (volume.name == name) {
            return &volume;
        }
    }
    return nullptr;
}

} // namespace

VolumeListing::~VolumeListing() {
    closeVolumeListing(*this);
}

bool findFirstVolume(VolumeListing& listing, std::wstring& volumeName) {
    closeVolumeListing(listing);
    if (standin::state().volumeListingFails || standin::state().volumes.empty()) {
        return false;
    }
    listing.handle = new std::size_t{1};
    volumeName = standin::state().volumes.front().name;
    return true;
}

bool findNextVolume(VolumeListing& listing, std::wstring& volumeName) {
    if (listing.handle == nullptr) {
        return false;
    }
    auto* next = static_cast<std::size_t*>(listing.handle);
    if (*next >= standin::state().volumes.size()) {
        return false;
    }
    volumeName = standin::state().volumes[(*next)++].name;
    return true;
}

void closeVolumeListing(VolumeListing& listing) {
    delete static_cast<std::size_t*>(listing.handle);
    listing.handle = nullptr;
}

bool getVolumeSerial(const std::wstring& volumeName, std::uint32_t& serial) {
    const standin::Volume* volume = findVolume(volumeName);
    if (volume == nullptr || volume->serialFails) {
        return false;
    }
    serial = volume->serial;
    return true;
}

bool getVolumeMountPoints(const std::wstring& volumeName, std::vector<std::wstring>& mountPoints) {
    mountPoints.clear();
    const standin::Volume* volume = findVolume(volumeName);
    if (volume == nullptr || volume->mountPointsFail) {
        return false;
    }
    mountPoints = volume->mountPoints;
    return true;
}

} // namespace tidewell
