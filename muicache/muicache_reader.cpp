#include "muicache/muicache_reader.h"

#include <unordered_map>

#include "muicache/muicache_counters.h"
#include "muicache/muicache_source.h"
#include "platform/error_codes.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

// A name is at most a few hundred characters; a value far larger is none.
constexpr std::uint32_t valueDataLimit = 65536;

constexpr std::wstring_view descriptionSuffix = L".FriendlyAppName";
constexpr std::wstring_view companySuffix = L".ApplicationCompany";

LaunchRecord newRecord(const std::wstring& path, MuiCacheKey key, std::uint64_t keyWritten,
                       const UserHive& hive) {
    LaunchRecord record = makeRecord(muiCacheSource);
    record.userSid = hive.sid;
    record.userName = hive.accountName;
    if (isDriveOrSharePath(path)) {
        record.path = path;
        record.pathStatus = PathStatus::Resolved;
    } else {
        record.pathStatus = PathStatus::NoPathRecorded;
    }
    record.name = lastPart(path);
    if (record.name.empty()) {
        record.name = path;
    }
    MuiCacheDetails& details = *muiCacheDetails(record);
    details.key = key;
    details.recordedPath = path;
    details.keyWritten = keyWritten;
    return record;
}

bool readKey(const RegistryKey& root, const wchar_t* path, MuiCacheKey which, const UserHive& hive,
             RecordList& records, ScanTally& tally) {
    RegistryKey key;
    const std::uint32_t opened = regOpenKey(root, path, registryKeyQueryValue, key);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    if (opened != ERROR_SUCCESS) {
        ++tally[muiCacheUnreadable];
        return false; // there, but not read
    }
    std::uint64_t written = 0;
    if (regQueryKeyLastWritten(key, written) != ERROR_SUCCESS) {
        written = 0; // a live key's time is not known
    }
    const KeyValues all = regReadAllValues(key, valueDataLimit);
    tally[muiCacheUnreadable] += all.unreadable + (all.stopped ? 1 : 0);
    makeMuiCacheRecords(all.values, which, written, hive, records, tally);
    return true;
}

} // namespace

void makeMuiCacheRecords(const std::vector<KeyValue>& values, MuiCacheKey key,
                         std::uint64_t keyWritten, const UserHive& hive, RecordList& records,
                         ScanTally& tally) {
    // Each program's values are found by its path, whatever their case.
    std::unordered_map<std::wstring, std::size_t> byPath;
    const auto recordOf = [&](const std::wstring& path) -> LaunchRecord& {
        const auto [found, added] = byPath.try_emplace(foldText(path), records.size());
        if (added) {
            ++tally[muiCacheProgramsRead];
            records.push_back(newRecord(path, key, keyWritten, hive));
        }
        return records[found->second];
    };
    for (const KeyValue& value : values) {
        if (value.name.empty() || value.name.front() == L'@' ||
            equalsFolded(value.name, L"LangID")) {
            ++tally[muiCacheOtherNames];
            continue;
        }
        std::wstring text;
        if (!valueAsText(value.type, value.data, text)) {
            ++tally[muiCacheWrongShape];
            continue;
        }
        std::wstring path = value.name;
        bool company = false;
        if (endsWithFolded(path, descriptionSuffix) && path.size() > descriptionSuffix.size()) {
            path.resize(path.size() - descriptionSuffix.size());
        } else if (endsWithFolded(path, companySuffix) && path.size() > companySuffix.size()) {
            path.resize(path.size() - companySuffix.size());
            company = true;
        }
        MuiCacheDetails& details = *muiCacheDetails(recordOf(path));
        if (company) {
            details.company = std::move(text);
            details.hasCompany = 1;
        } else {
            details.description = std::move(text);
            details.hasDescription = 1;
        }
    }
}

bool readMuiCache(const UserHive& hive, RecordList& records, ScanTally& tally,
                  std::uint32_t& classesMissing) {
    bool found =
        readKey(*hive.root, muiCacheXpPath, MuiCacheKey::ShellNoRoam, hive, records, tally);
    if (hive.openClasses != nullptr) {
        ClassesHive outcome = ClassesHive::Missing;
        const RegistryKey* classes = (*hive.openClasses)(outcome);
        if (classes != nullptr) {
            found |=
                readKey(*classes, muiCacheClassesPath, MuiCacheKey::Classes, hive, records, tally);
        } else if (outcome == ClassesHive::Unreadable) {
            ++tally[muiCacheUnreadable];
        } else {
            ++classesMissing;
        }
    }
    return found;
}

} // namespace tidewell
