// Writing the one file the program ever writes: the report, through a fresh
// temporary file that is flushed and then moved over the destination.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tidewell {

// A file open for writing; closed when it goes out of scope.
struct WritableFile {
    void* handle = nullptr;
    bool borrowed = false; // the process's standard output: written, never closed

    WritableFile() = default;
    WritableFile(const WritableFile&) = delete;
    WritableFile& operator=(const WritableFile&) = delete;
    ~WritableFile();
};

// Creates a new file, never opening an existing one: ERROR_FILE_EXISTS when
// the name is taken, another code when it cannot be created, ERROR_SUCCESS.
std::uint32_t createNewFile(const std::wstring& path, WritableFile& file);

// The process's standard output, as bytes (no translation of any kind);
// false when the process has none.
bool openStandardOutput(WritableFile& file);

// One write of size bytes; true only when all of them were written.
bool writeAll(WritableFile& file, const std::uint8_t* bytes, std::size_t size);

// Flushes the file's data to the disk.
bool flushToDisk(WritableFile& file);

void closeWritable(WritableFile& file);

// Moves from over to, replacing what to holds; the move is a rename within
// one folder, so to is never half-written.
bool moveReplacing(const std::wstring& from, const std::wstring& to);

void deleteFileIfPresent(const std::wstring& path);

} // namespace tidewell
