// What only a RecentApps program records, beside a record's common fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/launch_record.h"

namespace tidewell {

// A file the program opened, as its RecentItems subkey keeps it.
struct RecentItem {
    std::wstring displayName;
    std::wstring path;
    std::uint64_t lastAccessed = 0; // 0: none, or not a possible date
};

struct RecentAppsDetails {
    std::wstring keyName; // the program's subkey ({GUID})
    std::wstring appId;
    std::wstring appPath;
    std::vector<RecentItem> items;
};

inline const RecentAppsDetails* recentAppsDetails(const LaunchRecord& record) {
    return detailsAs<RecentAppsDetails>(record);
}
inline RecentAppsDetails* recentAppsDetails(LaunchRecord& record) {
    return detailsAs<RecentAppsDetails>(record);
}

} // namespace tidewell
