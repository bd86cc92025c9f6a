// Reads every UserAssist value of one loaded user hive into records, and
// counts every registry failure; a failure ends at most the walk of one key
// or of this hive, and the records made before it stay.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "platform/registry.h"

namespace tidewell {

inline constexpr wchar_t userAssistKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist";

// hiveRoot is already open (the current-user root, or a user's key under the
// users root, which the caller closes). countMissingKey: a hive without a
// UserAssist key makes the source unreadable (the own hive only).
void readUserAssistHive(const RegistryKey& hiveRoot, const std::wstring& sid, bool countMissingKey,
                        bool ownHive, RecordList& records, ScanTally& tally);

} // namespace tidewell
