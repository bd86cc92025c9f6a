// A user's RecentApps key read into records: one per program subkey.
#pragma once

#include <string>
#include <vector>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "machine/user_hives.h"
#include "platform/filetime.h"
#include "recentapps/recentapps_details.h"
#include "registry/registry_text.h"

namespace tidewell {

inline constexpr wchar_t recentAppsKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Search\\RecentApps";

// One program's values and its opened files as a record: AppPath where it
// names a file, else AppId (a path or an application id); LaunchCount as
// its runs and LastAccessedTime as its last. False (counted) without
// either name.
bool makeRecentAppRecord(const std::wstring& keyName, const std::vector<KeyValue>& values,
                         std::vector<RecentItem> items, const UserHive& hive, FileTime now,
                         ScanTally& tally, LaunchRecord& record);

// A RecentItems subkey's values as an item.
RecentItem recentItemOf(const std::vector<KeyValue>& values, FileTime now, ScanTally& tally);

// False where the key was not read (not there, or counted as unreadable).
bool readRecentApps(const UserHive& hive, FileTime now, RecordList& records, ScanTally& tally);

} // namespace tidewell
