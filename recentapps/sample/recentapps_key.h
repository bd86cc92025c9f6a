// A user's RecentApps key as the search writes it, for tests and sample
// machines: a {GUID} subkey per program with AppId, AppPath, LaunchCount
// and LastAccessedTime, and a RecentItems subkey per file it opened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

struct RecentItemSpec {
    std::wstring displayName;
    std::wstring path;
    std::uint64_t lastAccessed = 0;
};

struct RecentAppSpec {
    std::wstring key; // {GUID}
    std::wstring appId;
    std::wstring appPath;
    std::uint32_t launchCount = 0;
    std::uint64_t lastAccessed = 0;
    std::vector<RecentItemSpec> items;
};

void addRecentApps(HiveKeySpec& root, const std::vector<RecentAppSpec>& apps);

} // namespace tidewell::sample
