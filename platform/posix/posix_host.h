// The real POSIX system, in the shapes the platform headers need. Two
// backends stand on it: the posix backend of the native command-line tool,
// and the test double, which adds its injected failures on top. Paths come in
// as the program's text, with backslashes read as slashes; names go out and
// come back through the one UTF-8 codec, so they round-trip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/system_clock.h"

namespace tidewell::posix {

// A Windows-style path as the host's bytes.
std::string hostPath(std::wstring_view path);

// The Windows error code that stands for an errno value.
std::uint32_t windowsErrorFor(int errnoValue);

// An open folder listing. Only "folder\*" patterns are listed: the program
// asks for nothing else. "." and ".." are listed too, as Windows lists them.
struct Listing;
Listing* startListing(const std::wstring& pattern, std::uint32_t& error);
bool readListing(Listing& listing, DirectoryEntry& entry, std::uint32_t& error);
void endListing(Listing* listing);

// Descriptors of files open for reading or writing; -1 for none.
int openForReading(const std::wstring& path, std::uint32_t& error);
// The file at relative below folder, each of its parts opened in turn and
// none of them followed if it is a link (ERROR_CANT_RESOLVE_FILENAME then).
int openBelowFollowingNoLink(const std::wstring& folder, std::wstring_view relative,
                             std::uint32_t& error);
// Closes the folder openBelowFollowingNoLink keeps open for the next file.
void forgetKeptFolder();
bool fileSize(int descriptor, std::uint64_t& size);
// Reads until size bytes have come or the file ends.
bool readInto(int descriptor, std::uint8_t* buffer, std::uint32_t size, std::uint32_t& bytesRead);
// The same from an offset, leaving the descriptor's position alone.
bool readIntoAt(int descriptor, std::uint64_t offset, std::uint8_t* buffer, std::uint32_t size,
                std::uint32_t& bytesRead);
// ERROR_SUCCESS, ERROR_FILE_EXISTS, or another code.
std::uint32_t createExclusive(const std::wstring& path, int& descriptor);
bool writeFully(int descriptor, const std::uint8_t* bytes, std::size_t size);
bool syncToDisk(int descriptor);
void closeDescriptor(int descriptor);
bool renameReplacing(const std::wstring& from, const std::wstring& to);
void removeFile(const std::wstring& path);

FileTime hostNow();
// Local time by the process's own zone (TZ), with the rules in force at that
// moment; false where Windows would refuse the value.
bool hostLocalCalendar(FileTime utc, LocalCalendar& local);

} // namespace tidewell::posix
