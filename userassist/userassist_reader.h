// Reads every UserAssist value of one user hive into records, and counts
// every registry failure; a failure ends at most the walk of one key or of
// this hive, and the records made before it stay.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "registry/registry.h"
#include "userassist/userassist_entry.h"

namespace tidewell {

inline constexpr wchar_t userAssistKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist";

// Reads every UserAssist value below one hive's root key; a hive without a
// UserAssist key yields nothing and counts nothing (whether that is a failure
// is the caller's to say). True when the UserAssist key could be opened.
bool readUserAssistKeys(const RegistryKey& hiveRoot, const HiveContext& hive, RecordList& records,
                        ScanTally& tally);

} // namespace tidewell
