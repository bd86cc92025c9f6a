// One hive file of the evidence, loaded with the transaction logs beside it
// (name.LOG1 and name.LOG2, found without regard to case), and the counting
// of what became of it.
#pragma once

#include <string>
#include <string_view>

#include "core/scan_tally.h"
#include "hive/hive_image.h"
#include "hive/hive_load.h"

namespace tidewell {

struct EvidenceHive {
    bool found = false; // the file is there
    bool read = false;  // and could be read as a hive (perhaps stale)
    HiveImage image;
    HiveLoad load;
};

// Loads the file of that name in folder. The image stays where it is for as
// long as keys of it are open.
void loadEvidenceHive(const std::wstring& folder, std::wstring_view name, EvidenceHive& hive);

// Counts a hive's recovery outcome: recovered from its logs (and how many
// entries), or stale. Being missing or unreadable is counted by the caller,
// which knows whose hive it was.
void countHiveRecovery(const EvidenceHive& hive, ScanTally& tally);

} // namespace tidewell
