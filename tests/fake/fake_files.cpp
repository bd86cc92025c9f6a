// Folder listings and file reads over the host's files, with the failures a
// test asks for, and the Windows directory a test names.
#include "platform/files.h"

#include <map>
#include <optional>

#include "fake/fake_machine.h"
#include "fake/fake_parts.h"
#include "platform/error_codes.h"
#include "platform/posix/posix_host.h"

namespace tidewell {

namespace {

struct FilesState {
    std::optional<std::wstring> windowsDirectory;
    std::map<std::wstring, fake::FileFailure> fileFailures;       // by full path
    std::map<std::wstring, fake::ListingFailure> listingFailures; // by pattern
    std::map<std::wstring, std::uint32_t> opened;                 // by full path
};

FilesState& files() {
    static FilesState state;
    return state;
}

struct OpenListing {
    posix::Listing* host = nullptr;
    long returned = 0;
    fake::ListingFailure failure;
};

struct OpenFile {
    int descriptor = -1;
    fake::FileFailure failure;
};

template <typename Failure>
Failure injected(const std::map<std::wstring, Failure>& failures, const std::wstring& key) {
    const auto found = failures.find(key);
    return found == failures.end() ? Failure{} : found->second;
}

bool nextEntry(OpenListing& open, DirectoryEntry& entry, std::uint32_t& error) {
    if (open.failure.breakAfter >= 0 && open.returned >= open.failure.breakAfter) {
        error = open.failure.breakError;
        return false;
    }
    if (!posix::readListing(*open.host, entry, error)) {
        return false;
    }
    ++open.returned;
    return true;
}

} // namespace

DirectoryListing::~DirectoryListing() {
    closeListing(*this);
}

bool findFirstFile(const std::wstring& pattern, DirectoryListing& listing, DirectoryEntry& entry,
                   std::uint32_t& error) {
    closeListing(listing);
    const fake::ListingFailure failure = injected(files().listingFailures, pattern);
    if (failure.startError != 0) {
        error = failure.startError;
        return false;
    }
    posix::Listing* host = posix::startListing(pattern, error);
    if (host == nullptr) {
        return false;
    }
    auto* open = new OpenListing{host, 0, failure};
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
        posix::endListing(open->host);
        delete open;
        listing.handle = nullptr;
    }
}

ReadableFile::~ReadableFile() {
    closeFile(*this);
}

bool openFileForReading(const std::wstring& path, ReadableFile& file, std::uint32_t& error) {
    closeFile(file);
    ++files().opened[path];
    const fake::FileFailure failure = injected(files().fileFailures, path);
    if (failure.openError != 0) {
        error = failure.openError;
        return false;
    }
    const int descriptor = posix::openForReading(path, error);
    if (descriptor < 0) {
        return false;
    }
    file.handle = new OpenFile{descriptor, failure};
    return true;
}

void forgetKeptFolder() {
    posix::forgetKeptFolder();
}

bool openFileBelow(const std::wstring& folder, const std::wstring& relative, ReadableFile& file,
                   std::uint32_t& error) {
    closeFile(file);
    const std::wstring path = folder + L"/" + relative;
    ++files().opened[path];
    const fake::FileFailure failure = injected(files().fileFailures, path);
    if (failure.openError != 0) {
        error = failure.openError;
        return false;
    }
    const int descriptor = posix::openBelowFollowingNoLink(folder, relative, error);
    if (descriptor < 0) {
        return false;
    }
    file.handle = new OpenFile{descriptor, failure};
    return true;
}

bool getFileSize(const ReadableFile& file, std::uint64_t& size) {
    const auto* open = static_cast<const OpenFile*>(file.handle);
    return open != nullptr && !open->failure.sizeFails && posix::fileSize(open->descriptor, size);
}

bool readFile(const ReadableFile& file, std::uint8_t* buffer, std::uint32_t size,
              std::uint32_t& bytesRead) {
    bytesRead = 0;
    const auto* open = static_cast<const OpenFile*>(file.handle);
    if (open == nullptr || open->failure.readFails) {
        return false;
    }
    const std::uint32_t wanted = open->failure.shortRead && size > 0 ? size - 1 : size;
    return posix::readInto(open->descriptor, buffer, wanted, bytesRead);
}

bool readFileAt(const ReadableFile& file, std::uint64_t offset, std::uint8_t* buffer,
                std::uint32_t size, std::uint32_t& bytesRead) {
    bytesRead = 0;
    const auto* open = static_cast<const OpenFile*>(file.handle);
    if (open == nullptr || open->failure.readFails) {
        return false;
    }
    const std::uint32_t wanted = open->failure.shortRead && size > 0 ? size - 1 : size;
    return posix::readIntoAt(open->descriptor, offset, buffer, wanted, bytesRead);
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
    const auto& configured = files().windowsDirectory;
    if (!configured || configured->empty() || configured->size() >= 260) {
        return false;
    }
    folder = *configured;
    return true;
}

namespace fake {

void setWindowsDirectory(const std::wstring& folder) {
    files().windowsDirectory = folder;
}

void clearWindowsDirectory() {
    files().windowsDirectory.reset();
}

void failFile(const std::wstring& path, const FileFailure& failure) {
    files().fileFailures[path] = failure;
}

std::uint32_t timesOpened(const std::wstring& path) {
    const auto found = files().opened.find(path);
    return found == files().opened.end() ? 0 : found->second;
}

void failListing(const std::wstring& pattern, const ListingFailure& failure) {
    files().listingFailures[pattern] = failure;
}

void resetFiles() {
    files() = FilesState{};
}

} // namespace fake

} // namespace tidewell
