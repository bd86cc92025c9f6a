// What only a Prefetch file records, beside a record's common fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/launch_record.h"

namespace tidewell {

// One volume a Prefetch file names: the device path the kernel knew it by
// (\DEVICE\HARDDISKVOLUME2 on Windows XP to 8.1, \VOLUME{...} later), and
// its creation time and serial number.
struct PrefetchVolume {
    std::wstring devicePath;
    std::uint64_t created = 0; // FILETIME; 0 when not recorded
    std::uint32_t serial = 0;
};

struct PrefetchDetails {
    // The executable name has 29 or more characters: it may be the front of a
    // longer name cut by the 60-byte name field.
    std::uint8_t nameTruncated = 0;
    // The run times do not stand newest first, as Windows writes them (the
    // clock was set back between runs, or the file was altered).
    std::uint8_t runTimesOutOfOrder = 0;
    // Read from a deleted file that an image's file table still lists.
    std::uint8_t deletedFile = 0;
    std::uint32_t pathHash = 0;
    std::uint32_t formatVersion = 0;
    std::vector<std::wstring> referencedFiles; // in file order
    std::uint64_t volumeCreated = 0;           // the first volume's; 0 without a usable block
    std::uint32_t volumeSerial = 0;
    std::uint32_t volumeCount = 0;
    std::vector<PrefetchVolume> volumes; // every entry of the volume block that could be read
    // The program's own path as the file records it (Windows 10 and later): a
    // kernel device path, or a packaged app's package full name; empty when
    // the file records none.
    std::wstring recordedPath;
};

// The details of a Prefetch record, or null for a record of another source.
inline const PrefetchDetails* prefetchDetails(const LaunchRecord& record) {
    return detailsAs<PrefetchDetails>(record);
}
inline PrefetchDetails* prefetchDetails(LaunchRecord& record) {
    return detailsAs<PrefetchDetails>(record);
}

} // namespace tidewell
