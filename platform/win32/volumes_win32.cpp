// Volume listing, serial numbers and mount points through kernel32.
#include "platform/volumes.h"

#include <vector>

#include "platform/win32/win32_common.h"

namespace tidewell {

VolumeListing::~VolumeListing() {
    closeVolumeListing(*this);
}

bool findFirstVolume(VolumeListing& listing, std::wstring& volumeName) {
    closeVolumeListing(listing);
    wchar_t name[MAX_PATH];
    HANDLE handle = FindFirstVolumeW(name, MAX_PATH);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    listing.handle = handle;
    volumeName = name;
    return true;
}

bool findNextVolume(VolumeListing& listing, std::wstring& volumeName, std::uint32_t& error) {
    wchar_t name[MAX_PATH];
    if (listing.handle == nullptr) {
        error = ERROR_INVALID_HANDLE;
        return false;
    }
    if (!FindNextVolumeW(static_cast<HANDLE>(listing.handle), name, MAX_PATH)) {
        error = GetLastError();
        return false;
    }
    error = ERROR_SUCCESS;
    volumeName = name;
    return true;
}

void closeVolumeListing(VolumeListing& listing) {
    if (listing.handle != nullptr) {
        FindVolumeClose(static_cast<HANDLE>(listing.handle));
        listing.handle = nullptr;
    }
}

bool getVolumeSerial(const std::wstring& volumeName, std::uint32_t& serial) {
    DWORD value = 0;
    if (!GetVolumeInformationW(volumeName.c_str(), nullptr, 0, &value, nullptr, nullptr, nullptr,
                               0)) {
        return false;
    }
    serial = value;
    return true;
}

bool getVolumeMountPoints(const std::wstring& volumeName, std::vector<std::wstring>& mountPoints) {
    mountPoints.clear();
    DWORD length = 0;
    // The first call only asks how long the list is.
    if (!GetVolumePathNamesForVolumeNameW(volumeName.c_str(), nullptr, 0, &length) &&
        GetLastError() != ERROR_MORE_DATA) {
        return false;
    }
    if (length <= 1) {
        return true; // no mount point
    }
    std::vector<wchar_t> list(length, L'\0');
    if (!GetVolumePathNamesForVolumeNameW(volumeName.c_str(), list.data(), length, &length)) {
        return false;
    }
    // A list of NUL-terminated names ending with an empty one.
    std::size_t at = 0;
    while (at < list.size() && list[at] != L'\0') {
        std::size_t end = at;
        while (end < list.size() && list[end] != L'\0') {
            ++end;
        }
        mountPoints.emplace_back(list.data() + at, end - at);
        at = end + 1;
    }
    if (mountPoints.empty()) {
        mountPoints.emplace_back(); // a list whose first mount point is empty
    }
    return true;
}

bool getVolumeDevice(const std::wstring& volumeName, std::wstring& devicePath) {
    // QueryDosDeviceW takes the name without its \\?\ prefix and trailing
    // backslash: Volume{GUID}.
    const std::wstring prefix = L"\\\\?\\";
    if (volumeName.size() <= prefix.size() + 1 ||
        volumeName.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    std::wstring name = volumeName.substr(prefix.size());
    if (name.back() == L'\\') {
        name.pop_back();
    }
    wchar_t target[MAX_PATH] = {};
    if (QueryDosDeviceW(name.c_str(), target, MAX_PATH) == 0) {
        return false;
    }
    devicePath = target; // the first of the list: the current target
    return !devicePath.empty();
}

} // namespace tidewell
