// The values and hives of the records Windows keeps of programs beside
// Prefetch and UserAssist, written field by field as Windows writes them:
// compatibility cache values of every layout read (and the earlier ones,
// which are recognised only), the moderators' BAM/DAM values in both key
// layouts, and Amcache hives of both layouts. For tests, fuzz seeds and the
// seeding tools; the product never links it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

// --- the application compatibility cache ---

struct CacheEntrySpec {
    std::wstring path; // as the entry holds it
    std::uint64_t modified = 0;
    std::uint32_t insertionFlags = 0;
    std::uint32_t shimFlags = 0;
    std::vector<std::uint8_t> data;
    std::wstring package; // Windows 8: the package the entry belongs to
};

enum class CacheLayoutSpec {
    Windows7x86,
    Windows7x64,
    Windows80,         // "00ts" entries
    Windows81,         // "10ts" entries after a 128-byte header
    Windows10,         // "10ts" entries after a 48-byte header
    Windows10Creators, // ... after a 52-byte header
};

// The whole value, entries in the order given (the newest first), its
// header's count the number of entries unless statedCount says otherwise.
std::vector<std::uint8_t> compatCacheValue(CacheLayoutSpec layout,
                                           const std::vector<CacheEntrySpec>& entries,
                                           long statedCount = -1);

// Where each entry of a value of signed entries (Windows 8 and 10) begins.
std::vector<std::size_t> compatCacheEntryOffsets(const std::vector<std::uint8_t>& value);

// --- BAM and DAM ---

// A moderator's value: the last run in its first eight bytes, then the
// sixteen bytes Windows writes after it.
std::vector<std::uint8_t> bamData(std::uint64_t lastRun);

// The value's key in a SYSTEM hive's ControlSet00N: below Services, the
// moderator's State\UserSettings\<sid> (Windows 10 1809 on) or, with
// oldLayout, its UserSettings\<sid>.
HiveKeySpec& bamUserKey(HiveSpec& system, const std::wstring& controlSet,
                        const std::wstring& moderator, const std::wstring& sid,
                        bool oldLayout = false);

// The AppCompatCache value's key in ControlSet00N.
HiveKeySpec& compatCacheKey(HiveSpec& system, const std::wstring& controlSet);

// --- Amcache ---

struct AmcacheInventorySpec {
    std::wstring key; // such as "notepad.exe|8d2a..." or "0000<sha1>"
    std::wstring lowerCaseLongPath;
    std::wstring name;   // empty: no Name value, as keys named 0000<sha1> have none
    std::wstring fileId; // "0000" and the SHA-1, or empty
    std::wstring publisher;
    std::wstring version;
    std::wstring linkDate; // "MM/DD/YYYY HH:MM:SS"
    std::uint64_t size = 0;
};

struct AmcacheFileSpec {
    std::wstring volume; // a volume id
    std::wstring key;    // a file reference
    std::wstring path;
    std::wstring sha1Value; // "0000" and the SHA-1
    std::uint64_t modified = 0;
    std::uint64_t created = 0;
    std::uint32_t linkSeconds = 0; // the PE header's time, POSIX seconds
    std::uint32_t size = 0;
};

// An Amcache hive with the new layout's entries (an InventoryApplicationFile
// key is written when withInventoryKey, even with no entry) and the old
// layout's (a File key when any is given).
HiveSpec amcacheHive(const std::vector<AmcacheInventorySpec>& inventory,
                     const std::vector<AmcacheFileSpec>& files, bool withInventoryKey = true);

} // namespace tidewell::sample
