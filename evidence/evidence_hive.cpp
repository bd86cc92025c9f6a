#include "evidence/evidence_hive.h"

#include <vector>

#include "platform/folded_paths.h"
#include "platform/whole_file.h"

namespace tidewell {

namespace {

// A log that is missing, too large or unreadable is no log at all: the
// hive's outcome then says whether it mattered.
std::vector<std::uint8_t> readLog(const std::wstring& folder, const std::wstring& name) {
    std::wstring path;
    std::vector<std::uint8_t> bytes;
    if (findEntryFolded(folder, name, EntryKind::File, path) &&
        readWholeFileUpTo(path, maxHiveFileSize, bytes) != WholeFileRead::Read) {
        bytes.clear();
    }
    return bytes;
}

} // namespace

void loadEvidenceHive(const std::wstring& folder, std::wstring_view name, EvidenceHive& hive) {
    hive = EvidenceHive{};
    std::wstring path;
    if (!findEntryFolded(folder, name, EntryKind::File, path)) {
        return;
    }
    std::vector<std::uint8_t> primary;
    const WholeFileRead read = readWholeFileUpTo(path, maxHiveFileSize, primary);
    hive.found = read != WholeFileRead::Missing;
    if (read != WholeFileRead::Read) {
        hive.load.status =
            read == WholeFileRead::TooLarge ? HiveStatus::TooLarge : HiveStatus::Malformed;
        return;
    }
    const std::vector<std::uint8_t> log1 = readLog(folder, std::wstring(name) + L".LOG1");
    const std::vector<std::uint8_t> log2 = readLog(folder, std::wstring(name) + L".LOG2");
    hive.load = loadHive(std::move(primary), ByteView{log1.data(), log1.size()},
                         ByteView{log2.data(), log2.size()}, hive.image);
    hive.read = isReadable(hive.load.status);
}

void countHiveRecovery(const EvidenceHive& hive, ScanTally& tally) {
    if (hive.load.status == HiveStatus::Recovered) {
        ++tally.hivesRecovered;
        tally.hiveLogEntriesApplied += hive.load.logEntriesApplied;
    } else if (hive.load.status == HiveStatus::Stale) {
        ++tally.hivesStale;
    }
}

} // namespace tidewell
