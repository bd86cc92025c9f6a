// Folder listings and whole-file reads. Handles are owned by small RAII
// structures, so every path out of a step closes what the step opened.
#pragma once

#include <cstdint>
#include <string>

namespace tidewell {

struct DirectoryEntry {
    std::wstring name;
    bool isDirectory = false;
};

// An open folder listing; closed when it goes out of scope.
struct DirectoryListing {
    void* handle = nullptr;

    DirectoryListing() = default;
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;
    ~DirectoryListing();
};

// Starts listing a pattern such as C:\Windows\*; the first entry
// comes with it. On failure, error holds the system's code.
bool findFirstFile(const std::wstring& pattern, DirectoryListing& listing, DirectoryEntry& entry,
                   std::uint32_t& error);

// The next entry; at the end error is ERROR_NO_MORE_FILES, any other code
// means the listing broke off.
bool findNextFile(DirectoryListing& listing, DirectoryEntry& entry, std::uint32_t& error);

void closeListing(DirectoryListing& listing);

// A file open for reading; closed when it goes out of scope.
struct ReadableFile {
    void* handle = nullptr;

    ReadableFile() = default;
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;
    ~ReadableFile();
};

// Opens an existing file for reading, sharing read, write and delete.
bool openFileForReading(const std::wstring& path, ReadableFile& file, std::uint32_t& error);
// The same for the file at relative (backslash-separated) below folder,
// following no link on the way: what a check found by its name is what is
// opened, whatever was swapped in since. A link met on the way fails with
// ERROR_CANT_RESOLVE_FILENAME.
// The folder a file was last opened in stays open for the next file of the
// same folder, until another folder's file is opened or this is called (each
// scan starts so, so that a folder replaced since the last is read anew).
bool openFileBelow(const std::wstring& folder, const std::wstring& relative, ReadableFile& file,
                   std::uint32_t& error);
void forgetKeptFolder();
bool getFileSize(const ReadableFile& file, std::uint64_t& size);
// One read of up to size bytes from the current position.
bool readFile(const ReadableFile& file, std::uint8_t* buffer, std::uint32_t size,
              std::uint32_t& bytesRead);
// Up to size bytes from offset, fewer only where the file ends: what reads a
// large file in pieces, in any order, through one opening.
bool readFileAt(const ReadableFile& file, std::uint64_t offset, std::uint8_t* buffer,
                std::uint32_t size, std::uint32_t& bytesRead);
void closeFile(ReadableFile& file);

// The Windows directory (such as C:\Windows); false when it cannot be had or
// does not fit in 260 characters.
bool getWindowsDirectory(std::wstring& folder);

} // namespace tidewell
