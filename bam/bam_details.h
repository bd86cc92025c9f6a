// What only a BAM or DAM value records, beside a record's common fields.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"

namespace tidewell {

struct BamDetails {
    std::uint8_t desktopModerator = 0;    // from dam rather than bam
    std::uint8_t packagedApplication = 0; // named after a packaged application, not a file
    std::wstring recordedName;            // the value's name as Windows wrote it
};

// The details of a BAM/DAM record, or null for a record of another source.
inline const BamDetails* bamDetails(const LaunchRecord& record) {
    return detailsAs<BamDetails>(record);
}
inline BamDetails* bamDetails(LaunchRecord& record) {
    return detailsAs<BamDetails>(record);
}

} // namespace tidewell
