// The machine's mounted volumes: their serial numbers, mount points and the
// kernel's names for them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidewell {

// An open volume listing; closed when it goes out of scope.
struct VolumeListing {
    void* handle = nullptr;

    VolumeListing() = default;
    VolumeListing(const VolumeListing&) = delete;
    VolumeListing& operator=(const VolumeListing&) = delete;
    ~VolumeListing();
};

bool findFirstVolume(VolumeListing& listing, std::wstring& volumeName);
// The next volume; at the end error is ERROR_NO_MORE_FILES, any other code
// means the listing broke off before every volume was seen.
bool findNextVolume(VolumeListing& listing, std::wstring& volumeName, std::uint32_t& error);
void closeVolumeListing(VolumeListing& listing);

bool getVolumeSerial(const std::wstring& volumeName, std::uint32_t& serial);

// The volume's mount points (drive letters such as C:\ and mounted folders)
// in the system's order; an empty list when it has none. False when the list
// cannot be fetched.
bool getVolumeMountPoints(const std::wstring& volumeName, std::vector<std::wstring>& mountPoints);

// The kernel's device name for the volume (such as \Device\HarddiskVolume3),
// as it names it now; false when it cannot be had.
bool getVolumeDevice(const std::wstring& volumeName, std::wstring& devicePath);

} // namespace tidewell
