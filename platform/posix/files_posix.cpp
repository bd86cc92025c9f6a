// Folder listings and file reads over the host's files. There is no Windows
// directory here: a native build reads collected evidence, never a live
// Windows machine.
#include "platform/files.h"

#include "platform/error_codes.h"
#include "platform/posix/posix_host.h"

namespace tidewell {

namespace {

struct OpenFile {
    int descriptor = -1;
};

} // namespace

DirectoryListing::~DirectoryListing() {
    closeListing(*this);
}

bool findFirstFile(const std::wstring& pattern, DirectoryListing& listing, DirectoryEntry& entry,
                   std::uint32_t& error) {
    closeListing(listing);
    posix::Listing* open = posix::startListing(pattern, error);
    if (open == nullptr) {
        return false;
    }
    listing.handle = open;
    if (!posix::readListing(*open, entry, error)) {
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
    return posix::readListing(*static_cast<posix::Listing*>(listing.handle), entry, error);
}

void closeListing(DirectoryListing& listing) {
    posix::endListing(static_cast<posix::Listing*>(listing.handle));
    listing.handle = nullptr;
}

ReadableFile::~ReadableFile() {
    closeFile(*this);
}

bool openFileForReading(const std::wstring& path, ReadableFile& file, std::uint32_t& error) {
    closeFile(file);
    const int descriptor = posix::openForReading(path, error);
    if (descriptor < 0) {
        return false;
    }
    file.handle = new OpenFile{descriptor};
    return true;
}

bool openFileBelow(const std::wstring& folder, const std::wstring& relative, ReadableFile& file,
                   std::uint32_t& error) {
    closeFile(file);
    const int descriptor = posix::openBelowFollowingNoLink(folder, relative, error);
    if (descriptor < 0) {
        return false;
    }
    file.handle = new OpenFile{descriptor};
    return true;
}

void forgetKeptFolder() {
    posix::forgetKeptFolder();
}

bool getFileSize(const ReadableFile& file, std::uint64_t& size) {
    return file.handle != nullptr &&
           posix::fileSize(static_cast<const OpenFile*>(file.handle)->descriptor, size);
}

bool readFile(const ReadableFile& file, std::uint8_t* buffer, std::uint32_t size,
              std::uint32_t& bytesRead) {
    bytesRead = 0;
    return file.handle != nullptr &&
           posix::readInto(static_cast<const OpenFile*>(file.handle)->descriptor, buffer, size,
                           bytesRead);
}

bool readFileAt(const ReadableFile& file, std::uint64_t offset, std::uint8_t* buffer,
                std::uint32_t size, std::uint32_t& bytesRead) {
    bytesRead = 0;
    return file.handle != nullptr &&
           posix::readIntoAt(static_cast<const OpenFile*>(file.handle)->descriptor, offset, buffer,
                             size, bytesRead);
}

void closeFile(ReadableFile& file) {
    if (file.handle != nullptr) {
        auto* open = static_cast<OpenFile*>(file.handle);
        posix::closeDescriptor(open->descriptor);
        delete open;
        file.handle = nullptr;
    }
}

bool getWindowsDirectory(std::wstring& folder) {
    folder.clear();
    return false;
}

} // namespace tidewell
