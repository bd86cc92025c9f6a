// Volumes from the table a test sets.
#include "platform/volumes.h"

#include "fake/fake_machine.h"
#include "fake/fake_parts.h"
#include "platform/error_codes.h"

namespace tidewell {

namespace {

struct VolumesState {
    std::vector<fake::Volume> volumes;
    bool listingFails = false;
    std::size_t breakAfter = static_cast<std::size_t>(-1);
    std::uint32_t breakError = 0;
};

VolumesState& volumes() {
    static VolumesState state;
    return state;
}

const fake::Volume* findVolume(const std::wstring& name) {
    for (const fake::Volume& volume : volumes().volumes) {
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
    if (volumes().listingFails || volumes().volumes.empty()) {
        return false;
    }
    listing.handle = new std::size_t{1}; // the next volume to return
    volumeName = volumes().volumes.front().name;
    return true;
}

bool findNextVolume(VolumeListing& listing, std::wstring& volumeName, std::uint32_t& error) {
    if (listing.handle == nullptr) {
        error = ERROR_INVALID_HANDLE;
        return false;
    }
    auto* next = static_cast<std::size_t*>(listing.handle);
    if (*next >= volumes().breakAfter) {
        error = volumes().breakError;
        return false;
    }
    if (*next >= volumes().volumes.size()) {
        error = ERROR_NO_MORE_FILES;
        return false;
    }
    volumeName = volumes().volumes[(*next)++].name;
    error = ERROR_SUCCESS;
    return true;
}

void closeVolumeListing(VolumeListing& listing) {
    delete static_cast<std::size_t*>(listing.handle);
    listing.handle = nullptr;
}

bool getVolumeSerial(const std::wstring& volumeName, std::uint32_t& serial) {
    const fake::Volume* volume = findVolume(volumeName);
    if (volume == nullptr || volume->serialFails) {
        return false;
    }
    serial = volume->serial;
    return true;
}

bool getVolumeMountPoints(const std::wstring& volumeName, std::vector<std::wstring>& mountPoints) {
    mountPoints.clear();
    const fake::Volume* volume = findVolume(volumeName);
    if (volume == nullptr || volume->mountPointsFail) {
        return false;
    }
    mountPoints = volume->mountPoints;
    return true;
}

namespace fake {

void setVolumes(const std::vector<Volume>& table) {
    volumes().volumes = table;
}

void setVolumeListingFails(bool fails) {
    volumes().listingFails = fails;
}

void breakVolumeListingAfter(std::size_t count, std::uint32_t error) {
    volumes().breakAfter = count;
    volumes().breakError = error;
}

void resetVolumes() {
    volumes() = VolumesState{};
}

} // namespace fake

bool getVolumeDevice(const std::wstring& volumeName, std::wstring& devicePath) {
    const fake::Volume* volume = findVolume(volumeName);
    if (volume == nullptr || volume->device.empty()) {
        return false;
    }
    devicePath = volume->device;
    return true;
}

} // namespace tidewell
