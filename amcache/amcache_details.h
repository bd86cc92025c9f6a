// What only an Amcache entry records, beside a record's common fields: that
// Windows inventoried the file, and when it last wrote the entry; not each
// run.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"

namespace tidewell {

struct AmcacheDetails {
    std::uint8_t inventoryLayout = 0; // Root\InventoryApplicationFile rather than Root\File
    std::wstring entryKey;            // the entry's key below Root
    std::uint64_t lastWritten = 0;    // FILETIME of the entry's key
    std::wstring sha1;                // 40 hex digits; empty when not recorded
    std::wstring publisher;
    std::wstring version;
    std::wstring productName;
    std::wstring programId;
    std::wstring linkDate;      // the PE link date as recorded (the new layout's text)
    std::uint64_t linkTime = 0; // FILETIME of the PE link date; 0 when not known
    std::uint64_t modified = 0; // the file's modification time (the old layout)
    std::uint64_t created = 0;  // the file's creation time (the old layout)
    std::uint64_t fileSize = 0;
    std::uint8_t fileSizeKnown = 0;
};

// The details of an Amcache record, or null for a record of another source.
inline const AmcacheDetails* amcacheDetails(const LaunchRecord& record) {
    return detailsAs<AmcacheDetails>(record);
}
inline AmcacheDetails* amcacheDetails(LaunchRecord& record) {
    return detailsAs<AmcacheDetails>(record);
}

} // namespace tidewell
