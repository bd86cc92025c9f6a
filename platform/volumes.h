// The machine's mounted volumes: their serial numbers and mount points.
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
bool findNextVolume(VolumeListing& listing, std::wstring& volumeName);
void closeVolumeListing(VolumeListing& listing);

bool getVolumeSerial(const std::wstring& volumeName, std::uint32_t& serial);

// The volume's mount points (drive letters such as C:\ and mounted folders)
// in the system's order; an empty list when it has none. False when the list
// cannot be fetched.
bool getVolumeMountPoints(const std::wstring& volumeName, std::vector<std::wstring>& mountPoints);

} // namespace tidewell
