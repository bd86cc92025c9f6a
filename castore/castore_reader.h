// One user's Compatibility Assistant store read into records, one per
// value.
#pragma once

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "machine/user_hives.h"
#include "registry/registry_text.h"

namespace tidewell {

inline constexpr wchar_t compatibilityStoreKeyPath[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility "
    L"Assistant\\Store";

// A value as a record: its name is the program's path (or, for a program
// on removable media, a name the assistant gave it). False for a value
// without a name.
bool makeCompatibilityStoreRecord(const KeyValue& value, std::uint64_t keyWritten,
                                  const UserHive& hive, LaunchRecord& record);

// False where the store was not read (not there, or counted as unreadable).
bool readCompatibilityStore(const UserHive& hive, RecordList& records, ScanTally& tally);

} // namespace tidewell
