#include "castore/castore_reader.h"

#include "castore/castore_counters.h"
#include "castore/castore_details.h"
#include "castore/castore_source.h"
#include "platform/error_codes.h"
#include "platform/path_join.h"

namespace tidewell {

namespace {

// The assistant's data is about a hundred bytes; a value far larger is no
// entry of its own and is counted unreadable.
constexpr std::uint32_t valueDataLimit = 65536;

} // namespace

bool makeCompatibilityStoreRecord(const KeyValue& value, std::uint64_t keyWritten,
                                  const UserHive& hive, LaunchRecord& record) {
    if (value.name.empty()) {
        return false; // the key's default value names no program
    }
    record = makeRecord(compatibilityStoreSource);
    record.userSid = hive.sid;
    record.userName = hive.accountName;
    const std::wstring& name = value.name;
    if (isDriveOrSharePath(name)) {
        record.path = name;
        record.pathStatus = PathStatus::Resolved;
        record.name = lastPart(name);
    } else {
        // Such as "SIGN.MEDIA=6F60F6C setup64.exe": a program on removable
        // media, named by the media's signature.
        record.pathStatus = PathStatus::NoPathRecorded;
        const std::size_t blank = name.rfind(L' ');
        record.name = blank == std::wstring::npos ? name : name.substr(blank + 1);
    }
    if (record.name.empty()) {
        record.name = name;
    }
    CompatibilityStoreDetails& details = *compatibilityStoreDetails(record);
    details.recordedName = name;
    details.type = value.type;
    details.dataSize = static_cast<std::uint32_t>(value.data.size());
    details.signature = value.data.size() >= 4 && value.data[0] == 'S' && value.data[1] == 'A' &&
                                value.data[2] == 'C' && value.data[3] == 'P'
                            ? 1
                            : 0;
    details.keyWritten = keyWritten;
    return true;
}

bool readCompatibilityStore(const UserHive& hive, RecordList& records, ScanTally& tally) {
    RegistryKey key;
    const std::uint32_t opened =
        regOpenKey(*hive.root, compatibilityStoreKeyPath, registryKeyQueryValue, key);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    if (opened != ERROR_SUCCESS) {
        ++tally[compatibilityStoreUnreadable];
        return false; // there, but not read
    }
    std::uint64_t written = 0;
    if (regQueryKeyLastWritten(key, written) != ERROR_SUCCESS) {
        written = 0; // a live key's time is not known
    }
    const KeyValues all = regReadAllValues(key, valueDataLimit);
    tally[compatibilityStoreUnreadable] += all.unreadable + (all.stopped ? 1 : 0);
    for (const KeyValue& value : all.values) {
        LaunchRecord record;
        if (makeCompatibilityStoreRecord(value, written, hive, record)) {
            ++tally[compatibilityStoreRead];
            records.push_back(std::move(record));
        }
    }
    return true;
}

} // namespace tidewell
