// The entries of an Amcache hive (Windows\AppCompat\Programs\Amcache.hve):
// Windows' inventory of the program files it has seen (installed, scanned or
// run), one key per file. Two layouts, read both wherever they stand, since
// hives of the change-over hold both and an empty key of one says nothing
// of the other:
//   Root\InventoryApplicationFile\<entry> (Windows 10 1709 and later): the
//     file's lower-cased long path, name, SHA-1, publisher, version, link
//     date and size as named values;
//   Root\File\<volume id>\<file reference> (Windows 8 to 10 1703): the same
//     under numbered values, with the file's modification and creation times.
// Every entry is one record; its key's last-written time is when Windows
// last wrote the entry, not a run.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "registry/registry.h"

namespace tidewell {

struct AmcacheLayouts {
    bool inventory = false; // Root\InventoryApplicationFile was there
    bool file = false;      // Root\File was there
};

// Appends a record per entry below the hive's root key, each naming
// hivePath as its record file; counts every entry seen, read, and every key
// or value that could not be read.
AmcacheLayouts readAmcacheEntries(const RegistryKey& hiveRoot, const std::wstring& hivePath,
                                  RecordList& records, ScanTally& tally);

// "0000" and 40 hex digits, as Windows records a SHA-1, to the 40 digits in
// lower case; false for anything else.
bool amcacheSha1(const std::wstring& recorded, std::wstring& sha1);

// The new layout's link date, "MM/DD/YYYY HH:MM:SS" (UTC), as a FILETIME;
// false for any other text or an impossible date.
bool amcacheLinkDate(const std::wstring& text, std::uint64_t& filetime);

} // namespace tidewell
