// Resolving reparse points by opening the path for no access at all (which
// neither reads nor blocks, whatever is there) and asking where the handle
// really leads.
#include "platform/file_place.h"

#include "platform/win32/win32_common.h"

namespace tidewell {

namespace {

// "\\?\C:\x" as "C:\x", "\\?\UNC\server\share" as "\\server\share".
std::wstring withoutLongPrefix(std::wstring path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        return L"\\" + path.substr(7);
    }
    if (path.rfind(L"\\\\?\\", 0) == 0) {
        return path.substr(4);
    }
    return path;
}

struct OwnedHandle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    explicit OwnedHandle(HANDLE opened) : handle(opened) {}
    ~OwnedHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};

} // namespace

FilePlace resolvePlace(const std::wstring& path) {
    FilePlace place;
    const OwnedHandle opened(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (opened.handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        place.type = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                         ? PlaceType::Missing
                     : error == ERROR_CANT_RESOLVE_FILENAME ? PlaceType::LinkLoop
                                                            : PlaceType::Unreadable;
        return place;
    }
    wchar_t buffer[MAX_PATH];
    std::wstring real;
    DWORD length = GetFinalPathNameByHandleW(opened.handle, buffer, MAX_PATH, FILE_NAME_NORMALIZED);
    if (length >= MAX_PATH) {
        real.resize(length);
        length =
            GetFinalPathNameByHandleW(opened.handle, real.data(), length, FILE_NAME_NORMALIZED);
        real.resize(length);
    } else {
        real.assign(buffer, length);
    }
    place.realPath = length == 0 ? std::wstring() : withoutLongPrefix(real);
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(opened.handle) != FILE_TYPE_DISK) {
        place.type = PlaceType::Special;
    } else if (length == 0 || !GetFileInformationByHandle(opened.handle, &info)) {
        place.type = PlaceType::Unreadable;
        place.realPath.clear();
    } else {
        place.type = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PlaceType::Folder
                                                                             : PlaceType::File;
    }
    return place;
}

// Windows has no cheaper look at one entry than opening it: the whole path
// is resolved.
FilePlace resolveEntryPlace(const std::wstring& /*realFolder*/, std::wstring_view /*name*/,
                            const std::wstring& path) {
    return resolvePlace(path);
}

} // namespace tidewell
