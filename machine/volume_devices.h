// Which drive a kernel device path (\Device\HarddiskVolume3\...) stands on,
// where the examined machine proves it: this machine's mounted volumes are
// asked for the kernel's names for them now. A copy of another machine
// proves nothing of the kind (its registry names volumes by disk and
// partition, never by the kernel's numbering), so its device paths stay as
// recorded.
#pragma once

#include <string>
#include <vector>

namespace tidewell {

struct ExaminedMachine;

struct DeviceDrive {
    std::wstring device; // such as \Device\HarddiskVolume3
    std::wstring drive;  // such as C:
};

std::vector<DeviceDrive> deviceDrives(const ExaminedMachine& machine);

// This machine's mounted volumes that have a drive letter.
std::vector<DeviceDrive> mountedDeviceDrives();

// The path with its device replaced by the drive it is mounted as; false
// when the path names no device the list knows.
bool placeOnDrive(const std::vector<DeviceDrive>& drives, const std::wstring& devicePath,
                  std::wstring& placed);

} // namespace tidewell
