// What only a MUICache entry records, beside a record's common fields.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"

namespace tidewell {

enum class MuiCacheKey : std::uint8_t {
    Classes,     // the classes hive's Shell\MuiCache (Vista and later)
    ShellNoRoam, // the user's hive's ShellNoRoam\MUICache (Windows XP)
};

struct MuiCacheDetails {
    MuiCacheKey key = MuiCacheKey::Classes;
    std::wstring recordedPath;
    std::wstring description; // .FriendlyAppName, or the older form's one name
    std::wstring company;     // .ApplicationCompany
    std::uint8_t hasDescription = 0;
    std::uint8_t hasCompany = 0;
    std::uint64_t keyWritten = 0; // 0: not known
};

inline const MuiCacheDetails* muiCacheDetails(const LaunchRecord& record) {
    return detailsAs<MuiCacheDetails>(record);
}
inline MuiCacheDetails* muiCacheDetails(LaunchRecord& record) {
    return detailsAs<MuiCacheDetails>(record);
}

} // namespace tidewell
