// One hive file of the evidence, loaded with the transaction logs beside it
// (name.LOG1 and name.LOG2, found without regard to case), the counting of
// what became of it, and the words for it in the scan's list of hives.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/examined_hive.h"
#include "core/scan_tally.h"
#include "hive/hive_image.h"
#include "hive/hive_load.h"
#include "platform/file_scope.h"
#include "platform/whole_file.h"

namespace tidewell {

struct HiveFile {
    bool found = false; // the file is there
    bool read = false;  // and could be read as a hive (perhaps stale)
    std::wstring path;  // where it was found or looked for
    WholeFileRead fileRead = WholeFileRead::Missing;
    Refusal refusal = Refusal::None; // why the scope would not let it be read
    bool logTooLarge = false;        // a log it needed would not fit beside it
    HiveImage image;
    HiveLoad load;
};

struct ExaminedMachine;

// What a hive and the logs it needs may hold in memory together: no more
// than the largest hive, whose cells the logs can only bring up to date.
inline constexpr std::uint64_t hiveMemoryBudget = maxHiveFileSize;

// Loads the file of that name in a folder of the machine (an empty folder:
// nowhere to look), its logs only when it is dirty. The image stays where it
// is for as long as keys of it are open.
void loadHiveFile(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                  HiveFile& hive, std::uint64_t budget = hiveMemoryBudget);

// Counts a hive's recovery outcome: recovered from its logs (and how many
// entries), or stale. Being missing or unreadable is counted by the caller,
// which knows whose hive it was.
void countHiveRecovery(const HiveFile& hive, ScanTally& tally);

// What became of the hive, for the scan's list of the hives it looked for.
ExaminedHive describeHive(const HiveFile& hive, std::wstring_view name);

} // namespace tidewell
