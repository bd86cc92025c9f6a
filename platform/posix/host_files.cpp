// Folder listings and file reads and writes over POSIX.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/error_codes.h"
#include "platform/posix/posix_host.h"
#include "platform/utf8_codec.h"

namespace tidewell::posix {

struct Listing {
    DIR* directory = nullptr;
};

std::string hostPath(std::wstring_view path) {
    std::wstring slashed(path);
    for (wchar_t& unit : slashed) {
        if (unit == L'\\') {
            unit = L'/';
        }
    }
    return toUtf8(slashed);
}

std::uint32_t windowsErrorFor(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOSPC:
        return ERROR_DISK_FULL;
    default:
        return ERROR_READ_FAULT;
    }
}

Listing* startListing(const std::wstring& pattern, std::uint32_t& error) {
    std::wstring folder = pattern;
    if (folder.size() >= 2 && folder.back() == L'*' &&
        (folder[folder.size() - 2] == L'\\' || folder[folder.size() - 2] == L'/')) {
        folder.resize(folder.size() - 2);
    }
    DIR* directory = opendir(hostPath(folder.empty() ? L"/" : folder).c_str());
    if (directory == nullptr) {
        error = errno == ENOENT ? ERROR_PATH_NOT_FOUND : windowsErrorFor(errno);
        return nullptr;
    }
    error = ERROR_SUCCESS;
    return new Listing{directory};
}

bool readListing(Listing& listing, DirectoryEntry& entry, std::uint32_t& error) {
    errno = 0;
    const dirent* found = readdir(listing.directory);
    if (found == nullptr) {
        error = errno == 0 ? ERROR_NO_MORE_FILES : windowsErrorFor(errno);
        return false;
    }
    entry.name = fromUtf8(found->d_name);
    struct stat info {};
    entry.isDirectory =
        fstatat(dirfd(listing.directory), found->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
    error = ERROR_SUCCESS;
    return true;
}

void endListing(Listing* listing) {
    if (listing != nullptr) {
        closedir(listing->directory);
        delete listing;
    }
}

namespace {

// A descriptor opened with O_NONBLOCK (so that a named pipe could not hold
// the open until a writer came), kept only where it is a regular file:
// Windows refuses to open a folder as a file, and a pipe, device or socket
// is no file to read either. O_NONBLOCK stays: it has no effect on the
// reads of a regular file.
int regularFileOnly(int descriptor, std::uint32_t& error) {
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        error = ERROR_ACCESS_DENIED;
        return -1;
    }
    error = ERROR_SUCCESS;
    return descriptor;
}

} // namespace

int openForReading(const std::wstring& path, std::uint32_t& error) {
    const int descriptor = ::open(hostPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        error = windowsErrorFor(errno);
        return -1;
    }
    return regularFileOnly(descriptor, error);
}

namespace {

// An open that would follow a link fails with ELOOP (or, for a folder part
// opened with O_DIRECTORY, ENOTDIR where the link leads to a file).
std::uint32_t noLinkErrorFor(int errnoValue) {
    return errnoValue == ELOOP ? ERROR_CANT_RESOLVE_FILENAME : windowsErrorFor(errnoValue);
}

// The folder the last file was opened in, kept open: the files of one folder
// are opened from it, one open each, rather than a walk from the root each.
// It was reached through no link, and a descriptor stays with the folder it
// was opened on whatever is renamed or swapped since, so what is opened from
// it lies where the walk found it: inside.
struct KeptFolder {
    std::mutex guard;
    std::string key; // the root, a NUL, the folder below it
    int descriptor = -1;
};

KeptFolder& keptFolder() {
    static KeptFolder kept;
    return kept;
}

// Walks parts (separated by '/') down from the open folder current, each
// opened through no link; the descriptor of the last, or -1 with error.
// current is consumed.
int walkNoLink(int current, const std::string& parts, bool lastIsFile, std::uint32_t& error) {
    std::size_t at = 0;
    while (true) {
        std::size_t end = parts.find('/', at);
        const bool last = end == std::string::npos;
        end = last ? parts.size() : end;
        const std::string part = parts.substr(at, end - at);
        at = end + 1;
        if (part.empty() && !last) {
            continue;
        }
        if (part.empty() && !lastIsFile) {
            return current; // the folder itself
        }
        struct stat seen {};
        const int flags =
            O_RDONLY | O_NOFOLLOW | O_CLOEXEC | (last && lastIsFile ? O_NONBLOCK : O_DIRECTORY);
        const int next = part.empty() ? -1 : ::openat(current, part.c_str(), flags);
        const int why = errno;
        // A link opened as a folder part fails as not a folder: say which.
        const bool isLink = next < 0 &&
                            ::fstatat(current, part.c_str(), &seen, AT_SYMLINK_NOFOLLOW) == 0 &&
                            S_ISLNK(seen.st_mode);
        ::close(current);
        if (next < 0) {
            error =
                isLink ? ERROR_CANT_RESOLVE_FILENAME : noLinkErrorFor(part.empty() ? ENOENT : why);
            return -1;
        }
        current = next;
        if (last) {
            return current;
        }
    }
}

// The folder below root, through no link: the kept one where it is that
// folder, else walked to and kept in its place. A descriptor of its own, or
// -1 with error.
int folderBelow(const std::wstring& root, const std::string& below, std::uint32_t& error) {
    KeptFolder& kept = keptFolder();
    const std::string key = hostPath(root) + std::string(1, '\0') + below;
    const std::lock_guard<std::mutex> lock(kept.guard);
    if (kept.descriptor >= 0 && kept.key == key) {
        const int copy = ::fcntl(kept.descriptor, F_DUPFD_CLOEXEC, 0);
        if (copy < 0) {
            error = windowsErrorFor(errno);
        }
        return copy;
    }
    const int start = ::open(hostPath(root).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (start < 0) {
        error = windowsErrorFor(errno);
        return -1;
    }
    const int folder = below.empty() ? start : walkNoLink(start, below, false, error);
    if (folder < 0) {
        return -1;
    }
    if (kept.descriptor >= 0) {
        ::close(kept.descriptor);
    }
    kept.descriptor = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    kept.key = kept.descriptor >= 0 ? key : std::string();
    return folder;
}

} // namespace

void forgetKeptFolder() {
    KeptFolder& kept = keptFolder();
    const std::lock_guard<std::mutex> lock(kept.guard);
    if (kept.descriptor >= 0) {
        ::close(kept.descriptor);
    }
    kept.descriptor = -1;
    kept.key.clear();
}

int openBelowFollowingNoLink(const std::wstring& folder, std::wstring_view relative,
                             std::uint32_t& error) {
    const std::string parts = hostPath(relative);
    const std::size_t slash = parts.find_last_of('/');
    const std::string below = slash == std::string::npos ? std::string() : parts.substr(0, slash);
    const std::string name = slash == std::string::npos ? parts : parts.substr(slash + 1);
    const int parent = folderBelow(folder, below, error);
    if (parent < 0) {
        return -1;
    }
    const int current = walkNoLink(parent, name, true, error);
    return current < 0 ? -1 : regularFileOnly(current, error);
}

bool fileSize(int descriptor, std::uint64_t& size) {
    struct stat info {};
    if (descriptor < 0 || fstat(descriptor, &info) != 0 || info.st_size < 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

namespace {

// Reads through step (one read or pread at a count already done) until size
// bytes have come or the file ends, going on after an interrupted call.
template <typename Step>
bool readUntilFull(std::uint32_t size, std::uint32_t& bytesRead, Step step) {
    bytesRead = 0;
    while (bytesRead < size) {
        const ssize_t got = step(bytesRead);
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

} // namespace

bool readInto(int descriptor, std::uint8_t* buffer, std::uint32_t size, std::uint32_t& bytesRead) {
    bytesRead = 0;
    return descriptor >= 0 && readUntilFull(size, bytesRead, [&](std::uint32_t done) {
               return ::read(descriptor, buffer + done, size - done);
           });
}

bool readIntoAt(int descriptor, std::uint64_t offset, std::uint8_t* buffer, std::uint32_t size,
                std::uint32_t& bytesRead) {
    bytesRead = 0;
    if (descriptor < 0 || offset > static_cast<std::uint64_t>(INT64_MAX) - size) {
        return false;
    }
    return readUntilFull(size, bytesRead, [&](std::uint32_t done) {
        return ::pread(descriptor, buffer + done, size - done, static_cast<off_t>(offset + done));
    });
}

std::uint32_t createExclusive(const std::wstring& path, int& descriptor) {
    descriptor = ::open(hostPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : windowsErrorFor(errno);
    }
    return ERROR_SUCCESS;
}

bool writeFully(int descriptor, const std::uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(descriptor, bytes + done, size - done);
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool syncToDisk(int descriptor) {
    return descriptor >= 0 && ::fsync(descriptor) == 0;
}

void closeDescriptor(int descriptor) {
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}

bool renameReplacing(const std::wstring& from, const std::wstring& to) {
    return std::rename(hostPath(from).c_str(), hostPath(to).c_str()) == 0;
}

void removeFile(const std::wstring& path) {
    ::unlink(hostPath(path).c_str());
}

} // namespace tidewell::posix
