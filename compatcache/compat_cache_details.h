// What only an entry of the application compatibility cache records, beside
// a record's common fields. Its time is the file's modification time as the
// cache holds it, not a run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/launch_record.h"

namespace tidewell {

struct AppCompatCacheDetails {
    std::uint32_t position = 0; // in the cache, from 1, the newest first
    std::uint64_t modified = 0; // FILETIME; 0 when the entry holds none
    std::uint8_t hasFlags = 0;  // Windows 7 and 8 entries carry two words of flags
    std::uint32_t insertionFlags = 0;
    std::uint32_t shimFlags = 0;
    std::vector<std::uint8_t> entryData; // the entry's own data, as recorded
    std::wstring recordedPath;           // the path as the entry holds it
    std::wstring package;                // the packaged application it belongs to, if any
    std::wstring layout;                 // the Windows whose layout the cache has
};

// The details of a cache record, or null for a record of another source.
inline const AppCompatCacheDetails* appCompatCacheDetails(const LaunchRecord& record) {
    return detailsAs<AppCompatCacheDetails>(record);
}
inline AppCompatCacheDetails* appCompatCacheDetails(LaunchRecord& record) {
    return detailsAs<AppCompatCacheDetails>(record);
}

} // namespace tidewell
