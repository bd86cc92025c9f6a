#include <vector>

#include "compatcache/compat_cache_counters.h"
#include "compatcache/compat_cache_details.h"
#include "compatcache/compat_cache_parser.h"
#include "compatcache/compat_cache_source.h"
#include "machine/examined_machine.h"
#include "platform/error_codes.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "registry/registry.h"

namespace tidewell {

namespace {

SourceReading& readingOf(ScanResults& results) {
    return readingOf(results.origin, appCompatCacheSource);
}

// A packaged application's entry of Windows 10 holds tab-separated text in
// place of a path: a kind, two versions, an architecture, the package's
// name, its publisher's id and a resource; the name stands for the program.
bool packagedEntry(const std::wstring& recorded, std::wstring& packageName) {
    if (recorded.find(L'\t') == std::wstring::npos) {
        return false;
    }
    std::vector<std::wstring> parts(1);
    for (wchar_t unit : recorded) {
        if (unit == L'\t') {
            parts.emplace_back();
        } else {
            parts.back().push_back(unit);
        }
    }
    packageName = parts.size() > 4 ? parts[4] : recorded;
    return true;
}

// How the entry's path is named: a drive path as Windows gave it
// (\??\C:\..., \\?\C:\..., C:\...) is the path itself; SYSVOL\... is the
// system volume, placed on the machine's system drive where that is known;
// any other form (\Device\..., a share) is kept as recorded.
void placePath(const std::wstring& recorded, const std::wstring& systemDrive,
               LaunchRecord& record) {
    std::wstring path = recorded;
    for (const wchar_t* prefix : {L"\\??\\", L"\\\\?\\"}) {
        if (startsWithFolded(path, prefix)) {
            path = path.substr(std::wstring(prefix).size());
            break;
        }
    }
    if (startsWithFolded(path, L"SYSVOL\\") && !systemDrive.empty()) {
        path = systemDrive + path.substr(6);
    }
    record.path = path;
    const bool drivePath = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    record.pathStatus = drivePath ? PathStatus::Resolved : PathStatus::VolumeNotIdentified;
}

} // namespace

void recordsFromCompatCache(const std::uint8_t* data, std::size_t size,
                            const std::wstring& systemDrive, ScanResults& results) {
    SourceReading& reading = readingOf(results);
    const CompatCacheParse parse = parseCompatCache(data, size);
    reading.note = compatCacheLayoutName(parse.layout);
    if (parse.layout == CompatCacheLayout::Unknown) {
        ++results.tally[compatCacheUnknownLayout];
        reading.note.clear();
        return;
    }
    if (isEarlierLayout(parse.layout)) {
        ++results.tally[compatCacheEarlierLayout];
        return;
    }
    results.tally[compatCacheEntriesMalformed] += parse.malformedEntries;
    results.tally[compatCacheWalkStopped] += parse.walkStopped ? 1 : 0;
    const std::uint32_t slots =
        static_cast<std::uint32_t>(parse.entries.size()) + parse.malformedEntries;
    if (parse.headerCountStated && parse.headerCount != slots) {
        ++results.tally[compatCacheCountDisagrees];
    }
    for (const CompatCacheEntry& entry : parse.entries) {
        LaunchRecord record = makeRecord(appCompatCacheSource);
        AppCompatCacheDetails& details = *appCompatCacheDetails(record);
        details.position = entry.position;
        details.modified = entry.modified;
        details.hasFlags = entry.hasFlags ? 1 : 0;
        details.insertionFlags = entry.insertionFlags;
        details.shimFlags = entry.shimFlags;
        details.entryData = entry.data;
        details.recordedPath = entry.path;
        details.package = entry.package;
        details.layout = reading.note;
        std::wstring packageName;
        if (packagedEntry(entry.path, packageName)) {
            // Windows writes no time for these: none is shown.
            record.name = packageName;
            record.pathStatus = PathStatus::NoPathRecorded;
            details.package = entry.path;
        } else {
            record.name = lastPart(entry.path);
            placePath(entry.path, systemDrive, record);
        }
        ++results.tally[compatCacheEntriesRead];
        results.records.push_back(std::move(record));
    }
}

void scanAppCompatCache(ExaminedMachine& machine, ScanResults& results) {
    SourceReading& reading = readingOf(results);
    if (!systemKeysOpen(machine)) {
        sayWithoutSystemKeys(machine, reading, results.tally, compatCacheUnreadable);
        return;
    }
    RegistryKey key;
    const std::uint32_t opened = openControlSetKey(
        machine, L"Control\\Session Manager\\AppCompatCache", registryKeyQueryValue, key);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const std::uint32_t sized = opened == ERROR_SUCCESS
                                    ? regQueryValue(key, L"AppCompatCache", type, nullptr, size)
                                    : opened;
    if (sized == ERROR_FILE_NOT_FOUND) {
        reading.presence = SourcePresence::NotPresent;
        return;
    }
    std::vector<std::uint8_t> data;
    bool read =
        sized == ERROR_SUCCESS && type == registryTypeBinary && size <= compatCacheReadLimit;
    if (read) {
        data.assign(size, 0);
        std::uint32_t dataSize = size;
        read = regQueryValue(key, L"AppCompatCache", type, data.empty() ? nullptr : data.data(),
                             dataSize) == ERROR_SUCCESS &&
               dataSize == size;
    }
    if (!read) {
        reading.presence = SourcePresence::Unreadable;
        ++results.tally[compatCacheUnreadable];
        return;
    }
    reading.presence = SourcePresence::Read;
    recordsFromCompatCache(data.data(), data.size(), systemDriveOf(machine), results);
}

} // namespace tidewell
