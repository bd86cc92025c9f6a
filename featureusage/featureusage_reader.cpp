#include "featureusage/featureusage_reader.h"

#include "featureusage/featureusage_counters.h"
#include "featureusage/featureusage_source.h"
#include "machine/known_folders.h"
#include "platform/error_codes.h"
#include "platform/path_join.h"

namespace tidewell {

namespace {

// The counts are DWORDs; a value far larger is no count and is not read.
constexpr std::uint32_t valueDataLimit = 64;

struct KeyOfUsage {
    FeatureUsageKey key;
    const wchar_t* name;
};
constexpr KeyOfUsage keysRead[] = {
    {FeatureUsageKey::AppLaunch, L"AppLaunch"},
    {FeatureUsageKey::AppSwitched, L"AppSwitched"},
    {FeatureUsageKey::ShowJumpView, L"ShowJumpView"},
};

void placeName(const std::wstring& recorded, const UserHive& hive, LaunchRecord& record,
               FeatureUsageDetails& details) {
    if (!recorded.empty() && recorded.front() == L'{') {
        bool documentedDefault = false;
        const bool resolved =
            hive.folders != nullptr
                ? resolveFolderIdFromTable(recorded, *hive.folders, record.path, documentedDefault)
                : resolveFolderIdPath(recorded, hive.runningAccount, record.path);
        if (resolved) {
            record.pathStatus = PathStatus::Resolved;
            details.folderAtDefault = documentedDefault ? 1 : 0;
        } else {
            record.path = recorded;
            record.pathStatus = PathStatus::FolderIdUnresolved;
        }
    } else if (isDriveOrSharePath(recorded)) {
        record.path = recorded;
        record.pathStatus = PathStatus::Resolved;
    } else {
        // An application id (Chrome, Microsoft.Windows.Explorer, a package's).
        record.path.clear();
        record.pathStatus = PathStatus::NoPathRecorded;
    }
    record.name = lastPart(record.path.empty() ? recorded : record.path);
    if (record.name.empty()) {
        record.name = recorded; // a name ending in a separator names no file
    }
}

} // namespace

const wchar_t* featureUsageKeyName(FeatureUsageKey key) {
    for (const KeyOfUsage& known : keysRead) {
        if (known.key == key) {
            return known.name;
        }
    }
    return L"";
}

bool makeFeatureUsageRecord(FeatureUsageKey key, const KeyValue& value, std::uint64_t keyWritten,
                            const UserHive& hive, ScanTally& tally, LaunchRecord& record) {
    std::uint32_t count = 0;
    if (value.name.empty() || !valueAsDword(value.type, value.data, count)) {
        ++tally[featureUsageWrongShape];
        return false;
    }
    ++tally[featureUsageValuesRead];
    record = makeRecord(featureUsageSource);
    record.userSid = hive.sid;
    record.userName = hive.accountName;
    FeatureUsageDetails& details = *featureUsageDetails(record);
    details.key = key;
    details.recordedName = value.name;
    details.count = count;
    details.keyWritten = keyWritten;
    placeName(value.name, hive, record, details);
    return true;
}

bool readFeatureUsage(const UserHive& hive, RecordList& records, ScanTally& tally) {
    RegistryKey usage;
    const std::uint32_t opened =
        regOpenKey(*hive.root, featureUsageKeyPath, registryKeyRead, usage);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    if (opened != ERROR_SUCCESS) {
        ++tally[featureUsageKeysUnreadable];
        return false; // there, but not read
    }
    for (const KeyOfUsage& known : keysRead) {
        RegistryKey key;
        const std::uint32_t status = regOpenKey(usage, known.name, registryKeyQueryValue, key);
        if (status == ERROR_FILE_NOT_FOUND) {
            continue;
        }
        if (status != ERROR_SUCCESS) {
            ++tally[featureUsageKeysUnreadable];
            continue;
        }
        std::uint64_t written = 0;
        if (regQueryKeyLastWritten(key, written) != ERROR_SUCCESS) {
            written = 0; // a live key's time is not known
        }
        const KeyValues all = regReadAllValues(key, valueDataLimit);
        tally[featureUsageKeysUnreadable] += all.unreadable + (all.stopped ? 1 : 0);
        for (const KeyValue& value : all.values) {
            LaunchRecord record;
            if (makeFeatureUsageRecord(known.key, value, written, hive, tally, record)) {
                records.push_back(std::move(record));
            }
        }
    }
    return true;
}

} // namespace tidewell
