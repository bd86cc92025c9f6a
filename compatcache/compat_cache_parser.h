// The application compatibility cache: the SYSTEM hive's value
// "AppCompatCache" under Control\Session Manager\AppCompatCache. Windows
// keeps in it the files its compatibility layer looked at, newest first,
// each with the file's modification time as it was then. Its layout is told
// by its signatures, never by its header's counts: Windows 7 and Server 2008
// R2 (an array of fixed entries, 32-bit or 64-bit), Windows 8.0 and 8.1
// (entries signed "00ts" and "10ts" after a 128-byte header) and Windows 10
// and 11 (entries signed "10ts" after a 48- or 52-byte header). The layouts
// of Windows XP, Server 2003 and Vista are recognised and not read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tidewell {

enum class CompatCacheLayout : std::uint8_t {
    Unknown,
    WindowsXP,   // recognised, not read
    Windows2003, // Server 2003, Vista and Server 2008: recognised, not read
    Windows7,    // Windows 7 or Server 2008 R2 with no entry to tell its width
    Windows7x86, // Windows 7 and Server 2008 R2, 32-bit
    Windows7x64, // 64-bit
    Windows8,    // Windows 8.0 or 8.1 with no entry to tell which
    Windows80,
    Windows81,
    Windows10,         // 48-byte header (Windows 10 before the Creators Update)
    Windows10Creators, // 52-byte header (Windows 10 1703 and later, Windows 11)
};

// The layouts written before Windows 7, which are not read.
bool isEarlierLayout(CompatCacheLayout layout);

// Words for the layout in the report and the detail text; never a comma, as
// the report gives them after one.
const wchar_t* compatCacheLayoutName(CompatCacheLayout layout);

struct CompatCacheEntry {
    std::uint32_t position = 0; // from 1, the newest first
    std::wstring path;          // as recorded
    std::uint64_t modified = 0; // FILETIME; 0 when the entry holds none
    // Windows 7 and 8 record two words of flags; Windows 10 none.
    bool hasFlags = false;
    std::uint32_t insertionFlags = 0;
    std::uint32_t shimFlags = 0;
    std::wstring package;           // Windows 8: the package the entry belongs to
    std::vector<std::uint8_t> data; // the entry's own data, as recorded
};

struct CompatCacheParse {
    CompatCacheLayout layout = CompatCacheLayout::Unknown;
    // The count the header states, where the layout has one; Windows 10's
    // disagrees with the entries from 1703 on, so it is reported, not used.
    bool headerCountStated = false;
    std::uint32_t headerCount = 0;
    std::vector<CompatCacheEntry> entries;
    // Entries that could not be read whole (a size that does not add up, a
    // path outside the value); each is counted and none is shown.
    std::uint32_t malformedEntries = 0;
    // The walk ended before the end of the value: an entry ran past it, or
    // what followed the last entry was neither an entry nor zeros.
    bool walkStopped = false;
};

// Reads every entry of the value. An unknown or earlier layout gives no
// entries; a damaged entry is counted and skipped where its size allows, and
// ends the walk where it does not.
CompatCacheParse parseCompatCache(const std::uint8_t* data, std::size_t size);

} // namespace tidewell
