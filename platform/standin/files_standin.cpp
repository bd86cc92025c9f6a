// Folder listings and file reads over real POSIX files, with the failures a
// test asks for.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/error_codes.h"
#include "platform/standin/standin_state.h"

namespace tidewell {

namespace {

struct OpenListing {
    DIR* directory = nullptr;
    long returned = 0;
    standin::ListingFailure failure;
};

struct OpenFile {
    int descriptor = -1;
    standin::FileFailure failure;
};

std::uint32_t errorFromErrno(int code) {
    switch (code) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    default:
        return ERROR_READ_FAULT;
    }
}

// Reads the next entry that is a real name; "." and ".." are listed too, as
// Windows lists them.
bool nextEntry(OpenListing& open, DirectoryEntry& entry, std::uint32_t& error) {
    if (open.failure.breakAfter >= 0 && open.returned >= open.failure.breakAfter) {
        error = open.failure.breakError;
        return false;
    }
    errno = 0;
    const dirent* found = readdir(open.directory);
    if (found == nullptr) {
        error = errno == 0 ? ERROR_NO_MORE_FILES : errorFromErrno(errno);
        return false;
    }
    entry.name.clear();
    for (const char* c = found->d_name; *c != '\0'; ++c) {
        entry.name.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    }
    struct stat info {};
    entry.isDirectory =
        fstatat(dirfd(open.directory), found->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
    ++open.returned;
    error = ERROR_SUCCESS;
    return true;
}

} // namespace

DirectoryListing::~DirectoryListing() {
    closeListing(*this);
}

bool findFirstFile(const std::wstring& pattern, DirectoryListing& listing, DirectoryEntry& entry,
                   std::uint32_t& error) {
    closeListing(listing);
    standin::ListingFailure failure;
    const auto injected = standin::state().listingFailures.find(pattern);
    if (injected != standin::state().listingFailures.end()) {
        failure = injected->second;
    }
    if (failure.startError != 0) {
        error = failure.startError;
        return false;
    }
    // Only "folder\*" patterns are listed: the program asks for nothing else.
    std::wstring folder = pattern;
    if (folder.size() >= 2 && folder.back() == L'*' &&
        (folder[folder.size() - 2] == L'\\' || folder[folder.size() - 2] == L'/')) {
        folder.resize(folder.size() - 2);
    }
    DIR* directory = opendir(standin::posixPath(folder.empty() ? L"/" : folder).c_str());
    if (directory == nullptr) {
        error = errno == ENOENT ? ERROR_PATH_NOT_FOUND : errorFromErrno(errno);
        return false;
    }
    auto* open = new OpenListing{directory, 0, failure};
    listing.handle = open;
    if (!nextEntry(*open, entry, error)) {
        closeListing(listing);
        if (error == ERROR_NO_MORE_FILES) {
            error = ERROR_FILE_NOT_FOUND;
        }
        return false;
    }
    return true;
}

bool findNextFile(DirectoryListing& listing, DirectoryEntry& entry, std::uint32_t& error) {
    if (listing.handle == nullptr) {
        error = ERROR_INVALID_HANDLE;
        return false;
    }
    return nextEntry(*static_cast<OpenListing*>(listing.handle), entry, error);
}

void closeListing(DirectoryListing& listing) {
    if (listing.handle != nullptr) {
        auto* open = static_cast<OpenListing*>(listing.handle);
        closedir(open->directory);
        delete open;
        listing.handle = nullptr;
    }
}

ReadableFile::~ReadableFile() {
    closeFile(*this);
}

bool openFileForReading(const std::wstring& path, ReadableFile& file, std::uint32_t& error) {
    closeFile(file);
    standin::FileFailure failure;
    const auto injected = standin::state().fileFailures.find(path);
    if (injected != standin::state().fileFailures.end()) {
        failure = injected->second;
    }
    if (failure.openError != 0) {
        error = failure.openError;
        return false;
    }
    const int descriptor = open(standin::posixPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        error = errorFromErrno(errno);
        return false;
    }
    struct stat info {};
    if (fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(descriptor);
        error = ERROR_ACCESS_DENIED; // Windows refuses to open a folder as a file
        return false;
    }
    file.handle = new OpenFile{descriptor, failure};
    error = ERROR_SUCCESS;
    return true;
}

bool getFileSize(const ReadableFile& file, std::uint64_t& size) {
    if (file.handle == nullptr) {
        return false;
    }
    const auto* open = static_cast<const OpenFile*>(file.handle);
    struct stat info {};
    if (open->failure.sizeFails || fstat(open->descriptor, &info) != 0 || info.st_size < 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool readFile(const ReadableFile& file, std::uint8_t* buffer, std::uint32_t size,
              std::uint32_t& bytesRead) {
    bytesRead = 0;
    if (file.handle == nullptr) {
        return false;
    }
    const auto* open = static_cast<const OpenFile*>(file.handle);
    if (open->failure.readFails) {
        return false;
    }
    std::uint32_t wanted = size;
    if (open->failure.shortRead && wanted > 0) {
        --wanted;
    }
    while (bytesRead < wanted) {
        const ssize_t got = ::read(open->descriptor, buffer + bytesRead, wanted - bytesRead);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            break;
        }
        bytesRead += static_cast<std::uint32_t>(got);
    }
    return true;
}

void closeFile(ReadableFile& file) {
    if (file.handle != nullptr) {
        auto* open = static_cast<OpenFile*>(file.handle);
        ::close(open->descriptor);
        delete open;
        file.handle = nullptr;
    }
}

bool getWindowsDirectory(std::wstring& folder) {
    const auto& configured = standin::state().windowsDirectory;
    if (!configured || configured->empty() || configured->size() >= 260) {
        return false;
    }
    folder = *configured;
    return true;
}

} // namespace tidewell
