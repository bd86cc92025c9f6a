// Amcache hives of both layouts, written key by key as Windows writes them.
// For tests, fuzz seeds and the seeding tools; the product never links it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

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
