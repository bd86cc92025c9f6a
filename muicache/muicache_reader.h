// A user's MUICache read into records: one per program, its description
// and company gathered from the values named after it.
#pragma once

#include <vector>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "machine/user_hives.h"
#include "muicache/muicache_details.h"
#include "registry/registry_text.h"

namespace tidewell {

inline constexpr wchar_t muiCacheClassesPath[] =
    L"Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache";
inline constexpr wchar_t muiCacheXpPath[] = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";

// "PATH.FriendlyAppName" and "PATH.ApplicationCompany" (or, in the older
// form, "PATH" alone) make one record per path; resource strings ("@...")
// and LangID are no programs.
void makeMuiCacheRecords(const std::vector<KeyValue>& values, MuiCacheKey key,
                         std::uint64_t keyWritten, const UserHive& hive, RecordList& records,
                         ScanTally& tally);

// Both places; false where neither was read (not there, or counted as
// unreadable). A user without a
// classes hive adds one to classesMissing.
bool readMuiCache(const UserHive& hive, RecordList& records, ScanTally& tally,
                  std::uint32_t& classesMissing);

} // namespace tidewell
