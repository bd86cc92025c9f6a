// Report files over the host's files.
#include "platform/output_files.h"

#include "platform/error_codes.h"
#include "platform/posix/posix_host.h"

namespace tidewell {

namespace {

struct OpenWritable {
    int descriptor = -1;
};

int descriptorOf(const WritableFile& file) {
    return file.handle == nullptr ? -1 : static_cast<const OpenWritable*>(file.handle)->descriptor;
}

} // namespace

WritableFile::~WritableFile() {
    closeWritable(*this);
}

std::uint32_t createNewFile(const std::wstring& path, WritableFile& file) {
    closeWritable(file);
    int descriptor = -1;
    const std::uint32_t status = posix::createExclusive(path, descriptor);
    if (status == ERROR_SUCCESS) {
        file.handle = new OpenWritable{descriptor};
    }
    return status;
}

bool openStandardOutput(WritableFile& file) {
    closeWritable(file);
    file.handle = new OpenWritable{1};
    file.borrowed = true;
    return true;
}

bool writeAll(WritableFile& file, const std::uint8_t* bytes, std::size_t size) {
    return file.handle != nullptr && posix::writeFully(descriptorOf(file), bytes, size);
}

bool flushToDisk(WritableFile& file) {
    return posix::syncToDisk(descriptorOf(file));
}

void closeWritable(WritableFile& file) {
    if (file.handle != nullptr) {
        auto* open = static_cast<OpenWritable*>(file.handle);
        if (!file.borrowed) {
            posix::closeDescriptor(open->descriptor);
        }
        delete open;
        file.handle = nullptr;
        file.borrowed = false;
    }
}

bool moveReplacing(const std::wstring& from, const std::wstring& to) {
    return posix::renameReplacing(from, to);
}

void deleteFileIfPresent(const std::wstring& path) {
    posix::removeFile(path);
}

} // namespace tidewell
