#include "recentapps/recentapps_reader.h"

#include "platform/error_codes.h"
#include "platform/path_join.h"
#include "platform/possible_date.h"
#include "platform/text_fold.h"
#include "recentapps/recentapps_counters.h"
#include "recentapps/recentapps_source.h"

namespace tidewell {

namespace {

constexpr std::uint32_t valueDataLimit = 65536;
constexpr std::uint32_t subkeyNameChars = 256;

const KeyValue* valueNamed(const std::vector<KeyValue>& values, const wchar_t* name) {
    for (const KeyValue& value : values) {
        if (equalsFolded(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

std::wstring textNamed(const std::vector<KeyValue>& values, const wchar_t* name) {
    std::wstring text;
    const KeyValue* value = valueNamed(values, name);
    if (value == nullptr || !valueAsText(value->type, value->data, text)) {
        text.clear();
    }
    return text;
}

// LastAccessedTime: a FILETIME where it is a possible one; a time that is
// none is counted and withheld.
FileTime timeNamed(const std::vector<KeyValue>& values, FileTime now, ScanTally& tally) {
    const KeyValue* value = valueNamed(values, L"LastAccessedTime");
    std::uint64_t time = 0;
    if (value == nullptr || !valueAsQword(value->type, value->data, time) || time == 0) {
        return 0;
    }
    if (!isPossibleDate(time, now)) {
        ++tally[recentAppsImpossibleDate];
        return 0;
    }
    return time;
}

// Every subkey of key, in the order the key lists them; false where the
// listing broke off.
bool subkeysOf(const RegistryKey& key, std::vector<std::wstring>& names) {
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const std::uint32_t status = regEnumKey(key, index, subkeyNameChars, name);
        if (status == ERROR_NO_MORE_ITEMS) {
            return true;
        }
        if (status != ERROR_SUCCESS) {
            return false;
        }
        names.push_back(std::move(name));
    }
}

// The values of a subkey, what could not be read counted.
bool valuesOf(const RegistryKey& parent, const std::wstring& name, std::vector<KeyValue>& values,
              ScanTally& tally) {
    RegistryKey key;
    if (regOpenKey(parent, name, registryKeyRead, key) != ERROR_SUCCESS) {
        ++tally[recentAppsUnreadable];
        return false;
    }
    KeyValues all = regReadAllValues(key, valueDataLimit);
    tally[recentAppsUnreadable] += all.unreadable + (all.stopped ? 1 : 0);
    values = std::move(all.values);
    return true;
}

std::vector<RecentItem> itemsOf(const RegistryKey& app, FileTime now, ScanTally& tally) {
    std::vector<RecentItem> items;
    RegistryKey recent;
    const std::uint32_t opened = regOpenKey(app, L"RecentItems", registryKeyRead, recent);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return items;
    }
    std::vector<std::wstring> names;
    if (opened != ERROR_SUCCESS || !subkeysOf(recent, names)) {
        ++tally[recentAppsUnreadable];
    }
    for (const std::wstring& name : names) {
        std::vector<KeyValue> values;
        if (valuesOf(recent, name, values, tally)) {
            items.push_back(recentItemOf(values, now, tally));
        }
    }
    return items;
}

} // namespace

RecentItem recentItemOf(const std::vector<KeyValue>& values, FileTime now, ScanTally& tally) {
    RecentItem item;
    item.displayName = textNamed(values, L"DisplayName");
    item.path = textNamed(values, L"Path");
    item.lastAccessed = timeNamed(values, now, tally);
    return item;
}

bool makeRecentAppRecord(const std::wstring& keyName, const std::vector<KeyValue>& values,
                         std::vector<RecentItem> items, const UserHive& hive, FileTime now,
                         ScanTally& tally, LaunchRecord& record) {
    const std::wstring appId = textNamed(values, L"AppId");
    const std::wstring appPath = textNamed(values, L"AppPath");
    if (appId.empty() && appPath.empty()) {
        ++tally[recentAppsWithoutId];
        return false;
    }
    ++tally[recentAppsRead];
    record = makeRecord(recentAppsSource);
    record.userSid = hive.sid;
    record.userName = hive.accountName;
    const std::wstring& named = isDriveOrSharePath(appPath) || appId.empty() ? appPath : appId;
    if (isDriveOrSharePath(named)) {
        record.path = named;
        record.pathStatus = PathStatus::Resolved;
        record.name = lastPart(named);
    } else {
        record.pathStatus = PathStatus::NoPathRecorded; // an application id
        record.name = named;
    }
    if (record.name.empty()) {
        record.name = named;
    }
    std::uint32_t count = 0;
    const KeyValue* launches = valueNamed(values, L"LaunchCount");
    if (launches != nullptr && valueAsDword(launches->type, launches->data, count)) {
        record.runCount = count;
        record.runCountKnown = 1;
    }
    const FileTime last = timeNamed(values, now, tally);
    if (last != 0) {
        record.runTimes.push_back(last);
    }
    RecentAppsDetails& details = *recentAppsDetails(record);
    details.keyName = keyName;
    details.appId = appId;
    details.appPath = appPath;
    details.items = std::move(items);
    return true;
}

bool readRecentApps(const UserHive& hive, FileTime now, RecordList& records, ScanTally& tally) {
    RegistryKey apps;
    const std::uint32_t opened = regOpenKey(*hive.root, recentAppsKeyPath, registryKeyRead, apps);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    if (opened != ERROR_SUCCESS) {
        ++tally[recentAppsUnreadable];
        return false; // there, but not read
    }
    std::vector<std::wstring> names;
    if (!subkeysOf(apps, names)) {
        ++tally[recentAppsUnreadable];
    }
    for (const std::wstring& name : names) {
        RegistryKey app;
        if (regOpenKey(apps, name, registryKeyRead, app) != ERROR_SUCCESS) {
            ++tally[recentAppsUnreadable];
            continue;
        }
        KeyValues all = regReadAllValues(app, valueDataLimit);
        tally[recentAppsUnreadable] += all.unreadable + (all.stopped ? 1 : 0);
        LaunchRecord record;
        if (makeRecentAppRecord(name, all.values, itemsOf(app, now, tally), hive, now, tally,
                                record)) {
            records.push_back(std::move(record));
        }
    }
    return true;
}

} // namespace tidewell
