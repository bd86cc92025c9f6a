// Report files through kernel32.
#include "platform/output_files.h"

#include "platform/win32/win32_common.h"

namespace tidewell {

WritableFile::~WritableFile() {
    closeWritable(*this);
}

std::uint32_t createNewFile(const std::wstring& path, WritableFile& file) {
    closeWritable(file);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    file.handle = handle;
    return ERROR_SUCCESS;
}

bool openStandardOutput(WritableFile& file) {
    closeWritable(file);
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        return false;
    }
    file.handle = output;
    file.borrowed = true;
    return true;
}

bool writeAll(WritableFile& file, const std::uint8_t* bytes, std::size_t size) {
    if (file.handle == nullptr || size > 0xFFFFFFFFu) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(static_cast<HANDLE>(file.handle), bytes, static_cast<DWORD>(size), &written,
                     nullptr) &&
           written == size;
}

bool flushToDisk(WritableFile& file) {
    return file.handle != nullptr && FlushFileBuffers(static_cast<HANDLE>(file.handle));
}

void closeWritable(WritableFile& file) {
    if (file.handle != nullptr && !file.borrowed) {
        CloseHandle(static_cast<HANDLE>(file.handle));
    }
    file.handle = nullptr;
    file.borrowed = false;
}

bool moveReplacing(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void deleteFileIfPresent(const std::wstring& path) {
    DeleteFileW(path.c_str());
}

} // namespace tidewell
