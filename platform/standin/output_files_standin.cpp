// Report files over POSIX, with the failures a test asks for.
#include "platform/output_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/error_codes.h"
#include "platform/standin/standin_state.h"

namespace tidewell {

namespace {

struct OpenWritable {
    int descriptor = -1;
};

} // namespace

WritableFile::~WritableFile() {
    closeWritable(*this);
}

std::uint32_t createNewFile(const std::wstring& path, WritableFile& file) {
    closeWritable(file);
    standin::WriteFailures& failures = standin::state().writeFailures;
    if (failures.createError != 0) {
        return failures.createError;
    }
    const int descriptor =
        ::open(standin::posixPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return errno == EEXIST   ? ERROR_FILE_EXISTS
               : errno == ENOENT ? ERROR_PATH_NOT_FOUND
                                 : ERROR_ACCESS_DENIED;
    }
    file.handle = new OpenWritable{descriptor};
    return ERROR_SUCCESS;
}

bool writeAll(WritableFile& file, const std::uint8_t* bytes, std::size_t size) {
    if (file.handle == nullptr) {
        return false;
    }
    standin::WriteFailures& failures = standin::state().writeFailures;
    const long number = ++failures.writesSoFar;
    if (number == failures.failingWrite) {
        return false;
    }
    std::size_t wanted = size;
    if (number == failures.shortWrite && wanted > 0) {
        --wanted;
    }
    const int descriptor = static_cast<OpenWritable*>(file.handle)->descriptor;
    std::size_t done = 0;
    while (done < wanted) {
        const ssize_t wrote = ::write(descriptor, bytes + done, wanted - done);
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return done == size;
}

bool flushToDisk(WritableFile& file) {
    if (file.handle == nullptr || standin::state().writeFailures.flushFails) {
        return false;
    }
    return ::fsync(static_cast<OpenWritable*>(file.handle)->descriptor) == 0;
}

void closeWritable(WritableFile& file) {
    if (file.handle != nullptr) {
        auto* open = static_cast<OpenWritable*>(file.handle);
        ::close(open->descriptor);
        delete open;
        file.handle = nullptr;
    }
}

bool moveReplacing(const std::wstring& from, const std::wstring& to) {
    if (standin::state().writeFailures.moveFails) {
        return false;
    }
    return std::rename(standin::posixPath(from).c_str(), standin::posixPath(to).c_str()) == 0;
}

void deleteFileIfPresent(const std::wstring& path) {
    ::unlink(standin::posixPath(path).c_str());
}

} // namespace tidewell
