// Folder listings, file reads and the Windows directory through kernel32.
#include "platform/files.h"

#include "platform/win32/win32_common.h"

namespace tidewell {

namespace {

void fillEntry(const WIN32_FIND_DATAW& found, DirectoryEntry& entry) {
    entry.name = found.cFileName;
    entry.isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

DirectoryListing::~DirectoryListing() {
    closeListing(*this);
}

bool findFirstFile(const std::wstring& pattern, DirectoryListing& listing, DirectoryEntry& entry,
                   std::uint32_t& error) {
    closeListing(listing);
    WIN32_FIND_DATAW found;
    HANDLE handle = FindFirstFileW(pattern.c_str(), &found);
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    listing.handle = handle;
    fillEntry(found, entry);
    error = ERROR_SUCCESS;
    return true;
}

bool findNextFile(DirectoryListing& listing, DirectoryEntry& entry, std::uint32_t& error) {
    WIN32_FIND_DATAW found;
    if (listing.handle == nullptr || !FindNextFileW(static_cast<HANDLE>(listing.handle), &found)) {
        error = listing.handle == nullptr ? ERROR_INVALID_HANDLE : GetLastError();
        return false;
    }
    fillEntry(found, entry);
    error = ERROR_SUCCESS;
    return true;
}

void closeListing(DirectoryListing& listing) {
    if (listing.handle != nullptr) {
        FindClose(static_cast<HANDLE>(listing.handle));
        listing.handle = nullptr;
    }
}

ReadableFile::~ReadableFile() {
    closeFile(*this);
}

bool openFileForReading(const std::wstring& path, ReadableFile& file, std::uint32_t& error) {
    closeFile(file);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    file.handle = handle;
    error = ERROR_SUCCESS;
    return true;
}

// The Windows program reads a folder of evidence as the examiner's own
// files: it is opened by its full name, as Windows resolves it.
// Files below a folder are opened by name here: no folder is kept.
void forgetKeptFolder() {}

bool openFileBelow(const std::wstring& folder, const std::wstring& relative, ReadableFile& file,
                   std::uint32_t& error) {
    return openFileForReading(folder + L"\\" + relative, file, error);
}

bool getFileSize(const ReadableFile& file, std::uint64_t& size) {
    LARGE_INTEGER value;
    if (file.handle == nullptr || !GetFileSizeEx(static_cast<HANDLE>(file.handle), &value) ||
        value.QuadPart < 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

bool readFile(const ReadableFile& file, std::uint8_t* buffer, std::uint32_t size,
              std::uint32_t& bytesRead) {
    DWORD read = 0;
    bytesRead = 0;
    if (file.handle == nullptr ||
        !ReadFile(static_cast<HANDLE>(file.handle), buffer, size, &read, nullptr)) {
        return false;
    }
    bytesRead = read;
    return true;
}

bool readFileAt(const ReadableFile& file, std::uint64_t offset, std::uint8_t* buffer,
                std::uint32_t size, std::uint32_t& bytesRead) {
    bytesRead = 0;
    if (file.handle == nullptr) {
        return false;
    }
    while (bytesRead < size) {
        const std::uint64_t at = offset + bytesRead;
        OVERLAPPED place{};
        place.Offset = static_cast<DWORD>(at & 0xffffffffu);
        place.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD read = 0;
        if (!ReadFile(static_cast<HANDLE>(file.handle), buffer + bytesRead, size - bytesRead, &read,
                      &place)) {
            // Reading from the end or past it is the file ending, not a failure.
            return GetLastError() == ERROR_HANDLE_EOF;
        }
        if (read == 0) {
            break;
        }
        bytesRead += read;
    }
    return true;
}

void closeFile(ReadableFile& file) {
    if (file.handle != nullptr) {
        CloseHandle(static_cast<HANDLE>(file.handle));
        file.handle = nullptr;
    }
}

bool getWindowsDirectory(std::wstring& folder) {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    folder.assign(buffer, length);
    return true;
}

} // namespace tidewell
