#include "runmru/runmru_reader.h"

#include <algorithm>

#include "platform/error_codes.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "runmru/runmru_counters.h"
#include "runmru/runmru_details.h"
#include "runmru/runmru_source.h"

namespace tidewell {

namespace {

// A command is at most a few hundred characters; anything far larger is
// not one and is not read.
constexpr std::uint32_t valueDataLimit = 65536;

// Windows ends each command it keeps with "\1".
std::wstring commandOf(const std::wstring& recorded) {
    return recorded.ends_with(L"\\1") ? recorded.substr(0, recorded.size() - 2) : recorded;
}

// A command that is one program's path on a drive names that program; any
// other (a name Windows looks up, a folder, arguments) names none.
void placeCommand(const std::wstring& command, LaunchRecord& record) {
    std::wstring path = command;
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') {
        path = path.substr(1, path.size() - 2);
    }
    const bool onDrive = path.size() > 3 && path[1] == L':' && path[2] == L'\\';
    if (onDrive && endsWithFolded(path, L".exe") && path.find(L'"') == std::wstring::npos) {
        record.path = path;
        record.pathStatus = PathStatus::Resolved;
        record.name = lastPart(path);
        return;
    }
    record.path.clear();
    record.pathStatus = PathStatus::NoPathRecorded;
    record.name = command;
}

} // namespace

void makeRunMruRecords(const std::vector<KeyValue>& values, std::uint64_t keyWritten,
                       const UserHive& hive, RecordList& records, ScanTally& tally) {
    std::wstring order;
    bool ordered = false;
    for (const KeyValue& value : values) {
        if (equalsFolded(value.name, L"MRUList")) {
            ordered = valueAsText(value.type, value.data, order);
            if (!ordered) {
                ++tally[runMruWrongShape];
            }
        }
    }
    std::vector<LaunchRecord> made;
    for (const KeyValue& value : values) {
        if (equalsFolded(value.name, L"MRUList")) {
            continue;
        }
        std::wstring recorded;
        if (!valueAsText(value.type, value.data, recorded) || commandOf(recorded).empty()) {
            ++tally[runMruWrongShape];
            continue;
        }
        ++tally[runMruCommandsRead];
        LaunchRecord record = makeRecord(runMruSource);
        record.userSid = hive.sid;
        record.userName = hive.accountName;
        placeCommand(commandOf(recorded), record);
        RunMruDetails& details = *runMruDetails(record);
        details.letter = value.name;
        details.recorded = recorded;
        details.keyWritten = keyWritten;
        details.listed = static_cast<std::uint32_t>(order.size());
        const std::size_t at =
            value.name.size() == 1 ? order.find(value.name.front()) : std::wstring::npos;
        if (at != std::wstring::npos) {
            details.position = static_cast<std::uint32_t>(at + 1);
        } else {
            ++tally[runMruOutOfOrder];
        }
        if (details.position == 1 && keyWritten != 0) {
            record.runTimes.push_back(keyWritten); // the newest: the key changed for it
        }
        made.push_back(std::move(record));
    }
    // Newest first; those MRUList does not place after, as the key lists them.
    std::stable_sort(made.begin(), made.end(), [](const LaunchRecord& a, const LaunchRecord& b) {
        const std::uint32_t first = runMruDetails(a)->position;
        const std::uint32_t second = runMruDetails(b)->position;
        return first != 0 && (second == 0 || first < second);
    });
    for (LaunchRecord& record : made) {
        records.push_back(std::move(record));
    }
}

bool readRunMru(const UserHive& hive, RecordList& records, ScanTally& tally) {
    RegistryKey key;
    const std::uint32_t opened = regOpenKey(*hive.root, runMruKeyPath, registryKeyQueryValue, key);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    if (opened != ERROR_SUCCESS) {
        ++tally[runMruKeysUnreadable];
        return false; // there, but not read
    }
    std::uint64_t written = 0;
    if (regQueryKeyLastWritten(key, written) != ERROR_SUCCESS) {
        written = 0; // a live key's time is not known
    }
    const KeyValues all = regReadAllValues(key, valueDataLimit);
    tally[runMruKeysUnreadable] += all.unreadable + (all.stopped ? 1 : 0);
    makeRunMruRecords(all.values, written, hive, records, tally);
    return true;
}

} // namespace tidewell
