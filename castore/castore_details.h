// What only a Compatibility Assistant store value records, beside a
// record's common fields.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"

namespace tidewell {

struct CompatibilityStoreDetails {
    std::wstring recordedName;    // the value's name as Windows wrote it
    std::uint32_t type = 0;       // its registry type
    std::uint32_t dataSize = 0;   // its data is the assistant's own, kept unread
    std::uint8_t signature = 0;   // the data begins "SACP", as Windows writes it
    std::uint64_t keyWritten = 0; // the key's last writing; 0: not known
};

inline const CompatibilityStoreDetails* compatibilityStoreDetails(const LaunchRecord& record) {
    return detailsAs<CompatibilityStoreDetails>(record);
}
inline CompatibilityStoreDetails* compatibilityStoreDetails(LaunchRecord& record) {
    return detailsAs<CompatibilityStoreDetails>(record);
}

} // namespace tidewell
