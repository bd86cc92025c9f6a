#include "machine/volume_devices.h"

#include "machine/examined_machine.h"

#include "platform/text_fold.h"
#include "platform/volumes.h"

namespace tidewell {

namespace {

// A drive letter's mount point (C:\) as the drive (C:).
bool driveOf(const std::vector<std::wstring>& mountPoints, std::wstring& drive) {
    for (const std::wstring& point : mountPoints) {
        if (point.size() == 3 && point[1] == L':' && point[2] == L'\\') {
            drive = point.substr(0, 2);
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<DeviceDrive> deviceDrives(const ExaminedMachine& machine) {
    return machine.kind->deviceDrives(machine);
}

std::vector<DeviceDrive> mountedDeviceDrives() {
    std::vector<DeviceDrive> drives;
    VolumeListing listing;
    std::wstring name;
    std::uint32_t error = 0;
    for (bool more = findFirstVolume(listing, name); more;
         more = findNextVolume(listing, name, error)) {
        std::vector<std::wstring> mountPoints;
        DeviceDrive known;
        if (getVolumeDevice(name, known.device) && getVolumeMountPoints(name, mountPoints) &&
            driveOf(mountPoints, known.drive)) {
            drives.push_back(std::move(known));
        }
    }
    return drives;
}

bool placeOnDrive(const std::vector<DeviceDrive>& drives, const std::wstring& devicePath,
                  std::wstring& placed) {
    for (const DeviceDrive& known : drives) {
        // The device, then a backslash: \Device\HarddiskVolume1 is no prefix
        // of \Device\HarddiskVolume10\...
        if (devicePath.size() > known.device.size() && devicePath[known.device.size()] == L'\\' &&
            startsWithFolded(devicePath, known.device)) {
            placed = known.drive + devicePath.substr(known.device.size());
            return true;
        }
    }
    return false;
}

} // namespace tidewell
