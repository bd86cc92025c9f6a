// One user's FeatureUsage keys read into records: a record per value of
// AppLaunch, AppSwitched and ShowJumpView.
#pragma once

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "featureusage/featureusage_details.h"
#include "machine/user_hives.h"
#include "registry/registry_text.h"

namespace tidewell {

inline constexpr wchar_t featureUsageKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FeatureUsage";

// One value as a record: a REG_DWORD count named by a path, a known-folder
// id and path (placed as the user's hive places it), or an application id.
// False (counted) for a value in any other shape.
bool makeFeatureUsageRecord(FeatureUsageKey key, const KeyValue& value, std::uint64_t keyWritten,
                            const UserHive& hive, ScanTally& tally, LaunchRecord& record);

// Every value of the three keys below the user's FeatureUsage key; false
// where the key was not read (not there, or counted as unreadable).
bool readFeatureUsage(const UserHive& hive, RecordList& records, ScanTally& tally);

} // namespace tidewell
