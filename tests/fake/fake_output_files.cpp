// Report files over the host's files, with the failures a test asks for.
#include "platform/output_files.h"

#include <vector>

#include "fake/fake_machine.h"
#include "fake/fake_parts.h"
#include "platform/error_codes.h"
#include "platform/posix/posix_host.h"

namespace tidewell {

namespace {

struct OutputState {
    fake::WriteFailures failures;
    long writesSoFar = 0;
    std::vector<std::uint8_t> standardOutput; // what the process wrote there
    bool noStandardOutput = false;
};

OutputState& output() {
    static OutputState state;
    return state;
}

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
    if (output().failures.createError != 0) {
        return output().failures.createError;
    }
    int descriptor = -1;
    const std::uint32_t status = posix::createExclusive(path, descriptor);
    if (status == ERROR_SUCCESS) {
        file.handle = new OpenWritable{descriptor};
    }
    return status;
}

bool openStandardOutput(WritableFile& file) {
    closeWritable(file);
    if (output().noStandardOutput) {
        return false;
    }
    file.handle = new OpenWritable{-1}; // no descriptor: the bytes are kept in memory
    file.borrowed = true;
    return true;
}

bool writeAll(WritableFile& file, const std::uint8_t* bytes, std::size_t size) {
    if (file.handle == nullptr) {
        return false;
    }
    const long number = ++output().writesSoFar;
    if (number == output().failures.failingWrite) {
        return false;
    }
    if (file.borrowed) {
        output().standardOutput.insert(output().standardOutput.end(), bytes, bytes + size);
        return true;
    }
    if (number == output().failures.shortWrite && size > 0) {
        posix::writeFully(descriptorOf(file), bytes, size - 1);
        return false; // a short write is a failed one
    }
    return posix::writeFully(descriptorOf(file), bytes, size);
}

bool flushToDisk(WritableFile& file) {
    return !output().failures.flushFails && posix::syncToDisk(descriptorOf(file));
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
    return !output().failures.moveFails && posix::renameReplacing(from, to);
}

void deleteFileIfPresent(const std::wstring& path) {
    posix::removeFile(path);
}

namespace fake {

void setWriteFailures(const WriteFailures& failures) {
    output().failures = failures;
    output().writesSoFar = 0;
}

void resetOutputFiles() {
    output() = OutputState{};
}

const std::vector<std::uint8_t>& standardOutputBytes() {
    return output().standardOutput;
}

void setNoStandardOutput() {
    output().noStandardOutput = true;
}

void resetStandardOutput() {
    output().standardOutput.clear();
}

} // namespace fake

} // namespace tidewell
