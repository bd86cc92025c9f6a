#include "amcache/amcache_reader.h"

#include <vector>

#include "amcache/amcache_counters.h"
#include "amcache/amcache_details.h"
#include "amcache/amcache_source.h"
#include "platform/error_codes.h"
#include "platform/filetime.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "platform/utc_calendar.h"
#include "registry/registry_text.h"

namespace tidewell {

namespace {

constexpr std::uint32_t subkeyNameChars = 512;
constexpr std::uint32_t valueReadLimit = 65536; // no value of an entry comes near it

// One value of an entry's key: absent (nothing to say), or read; a value
// of the wrong type or shape is counted and withheld.
struct EntryKey {
    const RegistryKey& key;
    ScanTally& tally;

    bool raw(const wchar_t* name, std::uint32_t& type, std::vector<std::uint8_t>& data) {
        switch (regReadValue(key, name, valueReadLimit, type, data)) {
        case ValueRead::Read:
            return true;
        case ValueRead::Absent:
            return false;
        case ValueRead::Unreadable:
            break;
        }
        ++tally[amcacheValuesMalformed];
        return false;
    }

    // Read, and of the type and shape wanted; counted where it is not.
    template <typename Value, typename Decode>
    bool typed(const wchar_t* name, Value& out, Decode decode) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (!raw(name, type, data)) {
            return false;
        }
        if (!decode(type, data, out)) {
            ++tally[amcacheValuesMalformed];
            return false;
        }
        return true;
    }

    bool text(const wchar_t* name, std::wstring& out) { return typed(name, out, valueAsText); }

    // An eight-byte number: a QWORD, or eight bytes of binary data.
    bool number64(const wchar_t* name, std::uint64_t& out) {
        return typed(name, out, valueAsQword);
    }

    bool number32(const wchar_t* name, std::uint32_t& out) {
        return typed(name, out, valueAsDword);
    }

    // A size as a QWORD, or (as some builds write it) hexadecimal text.
    bool size(const wchar_t* name, std::uint64_t& out) {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (!raw(name, type, data)) {
            return false;
        }
        std::wstring hex;
        const bool read = type == registryTypeString
                              ? valueAsText(type, data, hex) && parseHex(hex, out)
                              : valueAsQword(type, data, out);
        if (!read) {
            ++tally[amcacheValuesMalformed];
        }
        return read;
    }

    static bool parseHex(const std::wstring& hex, std::uint64_t& out) {
        std::size_t at = startsWithFolded(hex, L"0x") ? 2 : 0;
        if (at == hex.size() || hex.size() - at > 16) {
            return false;
        }
        out = 0;
        for (; at < hex.size(); ++at) {
            const wchar_t unit = hex[at];
            const int digit = unit >= L'0' && unit <= L'9'   ? unit - L'0'
                              : unit >= L'a' && unit <= L'f' ? unit - L'a' + 10
                              : unit >= L'A' && unit <= L'F' ? unit - L'A' + 10
                                                             : -1;
            if (digit < 0) {
                return false;
            }
            out = out << 4 | static_cast<std::uint64_t>(digit);
        }
        return true;
    }
};

// The path as recorded, a drive path without the prefixes Windows may give
// it; any other form is not placed on a drive.
void placePath(const std::wstring& recorded, LaunchRecord& record) {
    std::wstring path = recorded;
    for (const wchar_t* prefix : {L"\\??\\", L"\\\\?\\"}) {
        if (startsWithFolded(path, prefix)) {
            path = path.substr(std::wstring(prefix).size());
            break;
        }
    }
    record.path = path;
    if (path.empty()) {
        record.pathStatus = PathStatus::NoPathRecorded;
        return;
    }
    const bool drivePath = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    record.pathStatus = drivePath ? PathStatus::Resolved : PathStatus::VolumeNotIdentified;
}

void setSha1(EntryKey& values, const wchar_t* name, AmcacheDetails& details) {
    std::wstring recorded;
    if (values.text(name, recorded) && !recorded.empty() && !amcacheSha1(recorded, details.sha1)) {
        ++values.tally[amcacheValuesMalformed]; // withheld rather than shown wrongly
    }
}

LaunchRecord newRecord(const RegistryKey& entry, const std::wstring& entryKey,
                       const std::wstring& hivePath, bool inventory, ScanTally& tally) {
    LaunchRecord record = makeRecord(amcacheSource);
    AmcacheDetails& details = *amcacheDetails(record);
    details.inventoryLayout = inventory ? 1 : 0;
    details.entryKey = entryKey;
    if (regQueryKeyLastWritten(entry, details.lastWritten) != ERROR_SUCCESS) {
        ++tally[amcacheKeysUnreadable];
    }
    record.recordFile = hivePath;
    return record;
}

// Root\InventoryApplicationFile\<entry>.
void readInventoryEntry(const RegistryKey& entry, const std::wstring& entryKey,
                        const std::wstring& hivePath, RecordList& records, ScanTally& tally) {
    LaunchRecord record = newRecord(entry, entryKey, hivePath, true, tally);
    AmcacheDetails& details = *amcacheDetails(record);
    EntryKey values{entry, tally};
    std::wstring path;
    values.text(L"LowerCaseLongPath", path);
    placePath(path, record);
    if (!values.text(L"Name", record.name) || record.name.empty()) {
        record.name = lastPart(record.path); // keys named 0000<SHA-1> have no name
    }
    setSha1(values, L"FileId", details);
    values.text(L"Publisher", details.publisher);
    values.text(L"Version", details.version);
    values.text(L"ProductName", details.productName);
    values.text(L"ProgramId", details.programId);
    if (values.text(L"LinkDate", details.linkDate) && !details.linkDate.empty() &&
        !amcacheLinkDate(details.linkDate, details.linkTime)) {
        ++tally[amcacheValuesMalformed];
    }
    details.fileSizeKnown = values.size(L"Size", details.fileSize) ? 1 : 0;
    ++tally[amcacheEntriesRead];
    records.push_back(std::move(record));
}

// Root\File\<volume>\<file reference>.
void readFileEntry(const RegistryKey& entry, const std::wstring& entryKey,
                   const std::wstring& hivePath, RecordList& records, ScanTally& tally) {
    LaunchRecord record = newRecord(entry, entryKey, hivePath, false, tally);
    AmcacheDetails& details = *amcacheDetails(record);
    EntryKey values{entry, tally};
    std::wstring path;
    values.text(L"15", path);
    placePath(path, record);
    record.name = lastPart(record.path);
    setSha1(values, L"101", details);
    values.text(L"0", details.productName);
    values.text(L"1", details.publisher);
    values.text(L"5", details.version);
    values.text(L"100", details.programId);
    values.number64(L"11", details.modified);
    values.number64(L"12", details.created);
    std::uint32_t linkSeconds = 0;
    if (values.number32(L"f", linkSeconds) && linkSeconds != 0) {
        details.linkTime = (static_cast<FileTime>(linkSeconds) + fileTimeEpochToUnixSeconds) *
                           fileTimeTicksPerSecond;
    }
    std::uint32_t size = 0;
    if (values.number32(L"6", size)) {
        details.fileSize = size;
        details.fileSizeKnown = 1;
    }
    ++tally[amcacheEntriesRead];
    records.push_back(std::move(record));
}

// Each subkey of key in turn, opened; a listing that breaks off, or a
// subkey that cannot be opened, is counted.
template <typename Visit> void eachSubkey(const RegistryKey& key, ScanTally& tally, Visit visit) {
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const std::uint32_t status = regEnumKey(key, index, subkeyNameChars, name);
        if (status == ERROR_NO_MORE_ITEMS) {
            return;
        }
        if (status != ERROR_SUCCESS) {
            ++tally[amcacheKeysUnreadable];
            return;
        }
        RegistryKey subkey;
        if (regOpenKey(key, name, registryKeyRead, subkey) != ERROR_SUCCESS) {
            ++tally[amcacheKeysUnreadable];
            continue;
        }
        visit(subkey, name);
    }
}

// A layout's key: whether it is there, and opened (one that is there but
// cannot be opened is counted).
struct LayoutKey {
    bool present = false;
    bool opened = false;
};

LayoutKey openLayout(const RegistryKey& root, const wchar_t* path, RegistryKey& key,
                     ScanTally& tally) {
    const std::uint32_t status = regOpenKey(root, path, registryKeyRead, key);
    if (status == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    if (status != ERROR_SUCCESS) {
        ++tally[amcacheKeysUnreadable];
        return {true, false};
    }
    return {true, true};
}

} // namespace

bool amcacheSha1(const std::wstring& recorded, std::wstring& sha1) {
    if (recorded.size() != 44 || recorded.compare(0, 4, L"0000") != 0) {
        return false;
    }
    std::wstring digits = recorded.substr(4);
    for (wchar_t& unit : digits) {
        unit = unit >= L'A' && unit <= L'Z' ? unit - L'A' + L'a' : unit;
        if (!((unit >= L'0' && unit <= L'9') || (unit >= L'a' && unit <= L'f'))) {
            return false;
        }
    }
    sha1 = digits;
    return true;
}

bool amcacheLinkDate(const std::wstring& text, std::uint64_t& filetime) {
    // MM/DD/YYYY HH:MM:SS
    if (text.size() != 19 || text[2] != L'/' || text[5] != L'/' || text[10] != L' ' ||
        text[13] != L':' || text[16] != L':') {
        return false;
    }
    const auto number = [&](std::size_t at, std::size_t length, std::uint16_t& out) {
        out = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            if (text[i] < L'0' || text[i] > L'9') {
                return false;
            }
            out = static_cast<std::uint16_t>(out * 10 + (text[i] - L'0'));
        }
        return true;
    };
    LocalCalendar fields;
    return number(0, 2, fields.month) && number(3, 2, fields.day) && number(6, 4, fields.year) &&
           number(11, 2, fields.hour) && number(14, 2, fields.minute) &&
           number(17, 2, fields.second) && utcCalendarToFileTime(fields, filetime);
}

AmcacheLayouts readAmcacheEntries(const RegistryKey& hiveRoot, const std::wstring& hivePath,
                                  RecordList& records, ScanTally& tally) {
    AmcacheLayouts layouts;
    RegistryKey inventory;
    const LayoutKey inventoryKey =
        openLayout(hiveRoot, L"Root\\InventoryApplicationFile", inventory, tally);
    layouts.inventory = inventoryKey.present;
    if (inventoryKey.opened) {
        eachSubkey(inventory, tally, [&](const RegistryKey& entry, const std::wstring& name) {
            ++tally[amcacheEntriesSeen];
            readInventoryEntry(entry, L"InventoryApplicationFile\\" + name, hivePath, records,
                               tally);
        });
    }
    RegistryKey files;
    const LayoutKey fileKey = openLayout(hiveRoot, L"Root\\File", files, tally);
    layouts.file = fileKey.present;
    if (fileKey.opened) {
        eachSubkey(files, tally, [&](const RegistryKey& volume, const std::wstring& volumeName) {
            eachSubkey(volume, tally, [&](const RegistryKey& entry, const std::wstring& name) {
                ++tally[amcacheEntriesSeen];
                readFileEntry(entry, L"File\\" + volumeName + L"\\" + name, hivePath, records,
                              tally);
            });
        });
    }
    return layouts;
}

} // namespace tidewell
