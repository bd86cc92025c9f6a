// What only a FeatureUsage value records, beside a record's common fields.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"

namespace tidewell {

enum class FeatureUsageKey : std::uint8_t {
    AppLaunch,    // launched from the taskbar
    AppSwitched,  // switched to from another program
    ShowJumpView, // its jump list opened
};

struct FeatureUsageDetails {
    FeatureUsageKey key = FeatureUsageKey::AppLaunch;
    std::wstring recordedName; // the value's name: a path, a folder id and path, or an app id
    std::uint32_t count = 0;
    std::uint64_t keyWritten = 0; // the key's last writing (FILETIME); 0: not known
    std::uint8_t folderAtDefault = 0;
};

// The key's name as Windows spells it.
const wchar_t* featureUsageKeyName(FeatureUsageKey key);

inline const FeatureUsageDetails* featureUsageDetails(const LaunchRecord& record) {
    return detailsAs<FeatureUsageDetails>(record);
}
inline FeatureUsageDetails* featureUsageDetails(LaunchRecord& record) {
    return detailsAs<FeatureUsageDetails>(record);
}

} // namespace tidewell
