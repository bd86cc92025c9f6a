// Reads every UserAssist value of one loaded user hive into records, and
// counts every registry failure; a failure ends at most the walk of one key
// or of this hive, and the records made before it stay.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "registry/registry.h"
#include "userassist/userassist_entry.h"

namespace tidewell {

inline constexpr wchar_t userAssistKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist";

// Whose hive is read. The running account's own hive must hold a UserAssist
// key (without one the source is unreadable), and the folder ids of its
// profile can be resolved; another account's hive may lack the key, and
// only machine-wide folder ids resolve for it.
enum class HiveOwner {
    RunningAccount,
    OtherAccount,
};

// hiveRoot is already open (the current-user root, or a user's key under the
// users root, which the caller closes).
void readUserAssistHive(const RegistryKey& hiveRoot, const std::wstring& sid, HiveOwner owner,
                        RecordList& records, ScanTally& tally);

// The same for a hive whose context the caller makes (a hive file of
// collected evidence); a hive without a UserAssist key yields nothing and
// counts nothing. True when the UserAssist key could be opened.
bool readUserAssistKeys(const RegistryKey& hiveRoot, const HiveContext& hive, RecordList& records,
                        ScanTally& tally);

} // namespace tidewell
