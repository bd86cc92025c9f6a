#include "machine/hive_file.h"

#include <algorithm>
#include <vector>

#include "core/scan_counters.h"
#include "hive/hive_log_recovery.h"
#include "machine/examined_machine.h"
#include "machine/machine_files.h"
#include "platform/path_join.h"

namespace tidewell {

namespace {

// A log that is missing, too large, refused, unreadable or without a sound
// base block is no log at all: the hive's outcome then says whether it
// mattered. A log is read only within what is left of the budget, and one
// that cannot serve is let go at once, so that a hive and its logs never
// hold more memory together than the budget.
std::vector<std::uint8_t> readLog(ExaminedMachine& machine, const std::wstring& folder,
                                  const std::wstring& name, std::uint64_t& budget, bool& tooLarge) {
    std::wstring path;
    std::vector<std::uint8_t> bytes;
    if (!findMachineEntry(machine, folder, name, EntryKind::File, path)) {
        return bytes;
    }
    const WholeFileRead read = readMachineFile(machine, path, budget, bytes);
    if (read == WholeFileRead::TooLarge) {
        tooLarge = true;
    }
    if (read != WholeFileRead::Read ||
        !inspectHiveLog(ByteView{bytes.data(), bytes.size()}).sound) {
        return {};
    }
    budget -= bytes.size();
    return bytes;
}

HiveOutcome outcomeOf(const HiveFile& hive) {
    if (!hive.found) {
        return HiveOutcome::Missing;
    }
    switch (hive.fileRead) {
    case WholeFileRead::Read:
        break;
    case WholeFileRead::TooLarge:
        return HiveOutcome::TooLarge;
    default:
        return HiveOutcome::Unreadable;
    }
    switch (hive.load.status) {
    case HiveStatus::Clean:
        return HiveOutcome::Clean;
    case HiveStatus::Recovered:
        return HiveOutcome::Recovered;
    case HiveStatus::Stale:
        return HiveOutcome::Stale;
    case HiveStatus::TooLarge:
        return HiveOutcome::TooLarge;
    case HiveStatus::Malformed:
        break;
    }
    return HiveOutcome::Malformed;
}

std::wstring whyOf(const HiveFile& hive, HiveOutcome outcome) {
    switch (outcome) {
    case HiveOutcome::Unreadable:
        if (hive.fileRead == WholeFileRead::Refused) {
            return refusalText(hive.refusal);
        }
        return hive.fileRead == WholeFileRead::InUse
                   ? L"the running Windows holds the file open and lets no one else read it"
                   : L"the file could not be read";
    case HiveOutcome::Stale:
        if (hive.logTooLarge) {
            return L"dirty, and a transaction log is too large to read beside it (a hive and its "
                   L"logs are read only up to 2 GiB together)";
        }
        return hive.load.replayRefused
                   ? L"dirty; its logs begin after the hive's last complete write, and replaying "
                     L"them did not give a sound hive, so it is read as it stands"
                   : L"dirty, and its transaction logs are absent or unusable";
    case HiveOutcome::Recovered:
        return hive.load.earlierEntriesMissing
                   ? L"the logs' earlier entries were missing: Windows had already written them "
                     L"to the hive, and the hive read soundly once every entry present was applied"
                   : L"";
    case HiveOutcome::Malformed:
        return hive.logTooLarge ? L"not a hive whose keys can be read, and a transaction log that "
                                  L"might have mended it is too large to read beside it"
                                : L"not a hive whose keys can be read";
    default:
        return L"";
    }
}

} // namespace

void loadHiveFile(ExaminedMachine& machine, const std::wstring& folder, std::wstring_view name,
                  HiveFile& hive, std::uint64_t budget) {
    hive = HiveFile{};
    if (folder.empty()) {
        return;
    }
    hive.path = joinPath(folder, name);
    if (!findMachineEntry(machine, folder, name, EntryKind::File, hive.path)) {
        return;
    }
    std::vector<std::uint8_t> primary;
    FileScope& scope = machine.scope;
    const std::size_t refusedBefore = scope.refused.size();
    hive.fileRead = readMachineFile(machine, hive.path, std::min(budget, maxHiveFileSize), primary);
    hive.found = hive.fileRead != WholeFileRead::Missing;
    if (hive.fileRead == WholeFileRead::Refused && scope.refused.size() > refusedBefore) {
        hive.refusal = scope.refused.back().why;
    }
    if (hive.fileRead != WholeFileRead::Read) {
        hive.load.status =
            hive.fileRead == WholeFileRead::TooLarge ? HiveStatus::TooLarge : HiveStatus::Malformed;
        return;
    }
    std::vector<std::uint8_t> log1;
    std::vector<std::uint8_t> log2;
    if (hiveNeedsLogs(ByteView{primary.data(), primary.size()})) {
        std::uint64_t left = budget - primary.size();
        log1 = readLog(machine, folder, std::wstring(name) + L".LOG1", left, hive.logTooLarge);
        log2 = readLog(machine, folder, std::wstring(name) + L".LOG2", left, hive.logTooLarge);
    }
    hive.load = loadHive(std::move(primary), ByteView{log1.data(), log1.size()},
                         ByteView{log2.data(), log2.size()}, hive.image);
    hive.read = isReadable(hive.load.status);
}

void countHiveRecovery(const HiveFile& hive, ScanTally& tally) {
    if (hive.load.status == HiveStatus::Recovered) {
        ++tally[hivesRecovered];
        tally[hiveLogEntriesApplied] += hive.load.logEntriesApplied;
    } else if (hive.load.status == HiveStatus::Stale) {
        ++tally[hivesStale];
    }
}

ExaminedHive describeHive(const HiveFile& hive, std::wstring_view name) {
    ExaminedHive examined;
    examined.hive = name;
    examined.path = hive.path;
    examined.outcome = outcomeOf(hive);
    if (examined.outcome == HiveOutcome::Recovered) {
        examined.logEntriesApplied = hive.load.logEntriesApplied;
        examined.earlierEntriesMissing = hive.load.earlierEntriesMissing;
    }
    examined.why = whyOf(hive, examined.outcome);
    return examined;
}

} // namespace tidewell
