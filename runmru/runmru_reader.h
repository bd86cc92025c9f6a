// One user's RunMRU key read into records, one per command, in the order
// the key's MRUList gives (newest first), then any it does not place.
#pragma once

#include <vector>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "machine/user_hives.h"
#include "registry/registry_text.h"

namespace tidewell {

inline constexpr wchar_t runMruKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

// The key's values (MRUList among them) as records: only the newest holds
// the key's last writing as its run.
void makeRunMruRecords(const std::vector<KeyValue>& values, std::uint64_t keyWritten,
                       const UserHive& hive, RecordList& records, ScanTally& tally);

// False where the key was not read (not there, or counted as unreadable).
bool readRunMru(const UserHive& hive, RecordList& records, ScanTally& tally);

} // namespace tidewell
