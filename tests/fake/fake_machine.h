// The test double's controls. The double implements the platform headers
// for native tests: real files and a real clock from the POSIX host, with
// every failure the scan must count made injectable, and an in-memory
// registry, volumes, identity and known folders. Tests set the machine the
// program believes it runs on; resetAll puts back an empty machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/filetime.h"
#include "platform/live_registry.h"

namespace tidewell::fake {

// Clock: fixed at a given FILETIME, or (the default) the host's real clock.
void setFixedNow(FileTime now);
void useRealClock();

// Local-time conversion fails for every value while set.
void setLocalTimeFails(bool fails);

// The DPI the screen reports; 0 (the default) means no screen can be asked.
void setScreenDpi(int dpi);

// Files are the host's files; Windows paths map onto them with backslashes
// read as slashes. The Windows directory is a host folder a test names; by
// default there is none.
void setWindowsDirectory(const std::wstring& folder);
void clearWindowsDirectory();

struct FileFailure {
    std::uint32_t openError = 0; // non-zero: opening fails with it
    bool sizeFails = false;
    bool readFails = false;
    bool shortRead = false; // the read returns one byte less than asked
};
// Failures for the file at exactly this path (as the program forms it).
void failFile(const std::wstring& path, const FileFailure& failure);
// How often the file at exactly this path was opened for reading.
std::uint32_t timesOpened(const std::wstring& path);

struct ListingFailure {
    std::uint32_t startError = 0; // non-zero: the listing cannot be started
    long breakAfter = -1;         // entries returned before it breaks off
    std::uint32_t breakError = 0;
};
// Failures for the listing of exactly this pattern (folder\*).
void failListing(const std::wstring& pattern, const ListingFailure& failure);

struct Volume {
    std::wstring name; // such as \\?\Volume{...}\.
    std::uint32_t serial = 0;
    bool serialFails = false;
    std::vector<std::wstring> mountPoints;
    bool mountPointsFail = false;
    std::wstring device; // the kernel's name for it; empty: it cannot be had
};
void setVolumes(const std::vector<Volume>& volumes);
void setVolumeListingFails(bool fails);
// The volume listing breaks off with error after returning count volumes.
void breakVolumeListingAfter(std::size_t count, std::uint32_t error);

// The process token's elevation; by default the token cannot be asked.
void setElevated(bool elevated);
// The process token's user SID; by default it cannot be read.
void setOwnSid(const std::wstring& sid);
// An account the machine knows: its SID and its name (without domain).
void addAccount(const std::wstring& sid, const std::wstring& name);
// A known folder of the running account, by its braced id.
void addKnownFolder(const std::wstring& folderId, const std::wstring& path);

// Whether the machine is a Windows one the program can scan (by default it is).
void setRunsOnWindows(bool windows);

// The version RtlGetVersion reports; by default it cannot be read.
void setWindowsVersion(std::uint32_t major, std::uint32_t minor);

// The registry: three roots of an in-memory tree. Keys are created on first
// mention; names compare without regard to ASCII case; enumeration follows
// the order of creation.
void createRegistryKey(RegistryRoot root, const std::wstring& path);
void setRegistryValue(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                      std::uint32_t type, const std::vector<std::uint8_t>& data);
void setRegistryDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                      std::uint32_t value);
// Opening the key fails with error.
void failRegistryOpen(RegistryRoot root, const std::wstring& keyPath, std::uint32_t error);
// Enumerating its subkeys (or values) fails with error at index.
void failSubkeyEnumeration(RegistryRoot root, const std::wstring& keyPath, std::uint32_t index,
                           std::uint32_t error);
void failValueEnumeration(RegistryRoot root, const std::wstring& keyPath, std::uint32_t index,
                          std::uint32_t error);
// Reading value number index with its data fails (asking its size works).
void failValueDataRead(RegistryRoot root, const std::wstring& keyPath, std::uint32_t index);

// Failures of the report's writing: creation of any new file fails with
// createError; write number failingWrite (counting from 1 since the failures
// were set) fails, and write number shortWrite writes one byte less; the
// flush or the move fail.
struct WriteFailures {
    std::uint32_t createError = 0;
    long failingWrite = 0;
    long shortWrite = 0;
    bool flushFails = false;
    bool moveFails = false;
};
void setWriteFailures(const WriteFailures& failures);

// What the program wrote to its standard output as bytes (the report
// written to "-"), and a process that has no standard output.
const std::vector<std::uint8_t>& standardOutputBytes();
void setNoStandardOutput();
void resetStandardOutput(); // empties what was written, keeps the rest

// Puts every control above back to its default: an empty machine.
void resetAll();

} // namespace tidewell::fake
