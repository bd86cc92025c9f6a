#include "userassist/userassist_reader.h"

#include <vector>

#include "platform/error_codes.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_entry.h"

namespace tidewell {

namespace {

constexpr std::uint32_t subkeyNameChars = 256;
constexpr std::uint32_t valueNameChars = 512;

// Every value of one Count key, index by index. The first read learns the
// name, type and size without data; only values that pass the screen are
// read a second time, into a buffer of exactly their size.
void readCountKey(const RegistryKey& countKey, const HiveContext& hive, RecordList& records,
                  ScanTally& tally) {
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        const std::uint32_t first =
            regEnumValue(countKey, index, valueNameChars, name, type, nullptr, size);
        if (first == ERROR_NO_MORE_ITEMS) {
            return;
        }
        if (first != ERROR_SUCCESS) {
            ++tally[userAssistKeysUnreadable]; // a name too long for the buffer among them
            return;
        }
        ++tally[userAssistSeen];
        const std::wstring decoded = decodeValueName(name);
        if (!screenUserAssistValue(decoded, type, size, tally)) {
            continue;
        }
        std::vector<std::uint8_t> data(size, 0);
        std::uint32_t dataSize = size;
        if (regEnumValue(countKey, index, valueNameChars, name, type,
                         data.empty() ? nullptr : data.data(), dataSize) != ERROR_SUCCESS) {
            ++tally[userAssistKeysUnreadable];
            continue;
        }
        LaunchRecord record;
        if (makeUserAssistRecord(decoded, data.empty() ? nullptr : data.data(), dataSize, hive,
                                 tally, record)) {
            records.push_back(std::move(record));
        }
    }
}

} // namespace

bool readUserAssistKeys(const RegistryKey& hiveRoot, const HiveContext& hive, RecordList& records,
                        ScanTally& tally) {
    RegistryKey userAssist;
    if (regOpenKey(hiveRoot, userAssistKeyPath, registryKeyRead, userAssist) != ERROR_SUCCESS) {
        return false;
    }
    // The shell names the subkeys by GUID; every one of them is read.
    for (std::uint32_t index = 0;; ++index) {
        std::wstring subkey;
        const std::uint32_t status = regEnumKey(userAssist, index, subkeyNameChars, subkey);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS) {
            ++tally[userAssistKeysUnreadable];
            break;
        }
        RegistryKey countKey;
        const std::uint32_t opened =
            regOpenKey(userAssist, subkey + L"\\Count", registryKeyQueryValue, countKey);
        if (opened == ERROR_FILE_NOT_FOUND) {
            continue;
        }
        if (opened != ERROR_SUCCESS) {
            ++tally[userAssistKeysUnreadable];
            continue;
        }
        readCountKey(countKey, hive, records, tally);
    }
    return true;
}

} // namespace tidewell
