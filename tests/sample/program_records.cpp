#include "sample/program_records.h"

#include "sample/evidence_tree.h"

namespace tidewell::sample {

namespace {

void put16(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    put16(bytes, value & 0xFFFF);
    put16(bytes, value >> 16);
}

void put64(std::vector<std::uint8_t>& bytes, std::uint64_t value) {
    put32(bytes, static_cast<std::uint32_t>(value));
    put32(bytes, static_cast<std::uint32_t>(value >> 32));
}

void set32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::vector<std::uint8_t> utf16(const std::wstring& text) {
    std::vector<std::uint8_t> bytes;
    for (wchar_t unit : text) {
        put16(bytes, static_cast<std::uint16_t>(unit));
    }
    return bytes;
}

void append(std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

// Windows 7: a 128-byte header, the array of fixed entries, then the paths
// and the entries' data after it.
std::vector<std::uint8_t> windows7Value(bool x64, const std::vector<CacheEntrySpec>& entries,
                                        std::uint32_t count) {
    const std::size_t entrySize = x64 ? 48 : 32;
    std::vector<std::uint8_t> value(128, 0);
    set32(value, 0, 0xBADC0FEE);
    set32(value, 4, count);
    set32(value, 8, 120);
    std::vector<std::uint8_t> array;
    std::vector<std::uint8_t> strings;
    const std::size_t stringsStart = 128 + entries.size() * entrySize;
    for (const CacheEntrySpec& entry : entries) {
        const std::vector<std::uint8_t> path = utf16(entry.path);
        const auto pathOffset = static_cast<std::uint32_t>(stringsStart + strings.size());
        append(strings, path);
        put16(strings, 0); // the path's terminator
        const auto dataOffset = static_cast<std::uint32_t>(stringsStart + strings.size());
        append(strings, entry.data);
        put16(array, static_cast<std::uint32_t>(path.size()));
        put16(array, static_cast<std::uint32_t>(path.size() + 2));
        if (x64) {
            put32(array, 0);
            put64(array, pathOffset);
        } else {
            put32(array, pathOffset);
        }
        put64(array, entry.modified);
        put32(array, entry.insertionFlags);
        put32(array, entry.shimFlags);
        if (x64) {
            put64(array, entry.data.size());
            put64(array, entry.data.empty() ? 0 : dataOffset);
        } else {
            put32(array, static_cast<std::uint32_t>(entry.data.size()));
            put32(array, entry.data.empty() ? 0 : dataOffset);
        }
    }
    append(value, array);
    append(value, strings);
    return value;
}

// One signed entry of Windows 8 or 10: its signature, a word Windows writes
// (a hash of the path), its size after these twelve bytes, then its fields.
std::vector<std::uint8_t> signedEntry(const char* signature, bool windows8,
                                      const CacheEntrySpec& entry) {
    std::vector<std::uint8_t> body;
    const std::vector<std::uint8_t> path = utf16(entry.path);
    put16(body, static_cast<std::uint32_t>(path.size()));
    append(body, path);
    if (windows8) {
        const std::vector<std::uint8_t> package = utf16(entry.package);
        put16(body, static_cast<std::uint32_t>(package.size()));
        append(body, package);
        put32(body, entry.insertionFlags);
        put32(body, entry.shimFlags);
    }
    put64(body, entry.modified);
    put32(body, static_cast<std::uint32_t>(entry.data.size()));
    append(body, entry.data);
    std::vector<std::uint8_t> whole(signature, signature + 4);
    put32(whole, 0x5A5A1234);
    put32(whole, static_cast<std::uint32_t>(body.size()));
    append(whole, body);
    return whole;
}

} // namespace

std::vector<std::uint8_t> compatCacheValue(CacheLayoutSpec layout,
                                           const std::vector<CacheEntrySpec>& entries,
                                           long statedCount) {
    const auto count = static_cast<std::uint32_t>(
        statedCount < 0 ? static_cast<long>(entries.size()) : statedCount);
    switch (layout) {
    case CacheLayoutSpec::Windows7x86:
    case CacheLayoutSpec::Windows7x64:
        return windows7Value(layout == CacheLayoutSpec::Windows7x64, entries, count);
    case CacheLayoutSpec::Windows80:
    case CacheLayoutSpec::Windows81: {
        std::vector<std::uint8_t> value(128, 0);
        set32(value, 0, 128);
        for (const CacheEntrySpec& entry : entries) {
            append(value, signedEntry(layout == CacheLayoutSpec::Windows80 ? "00ts" : "10ts", true,
                                      entry));
        }
        return value;
    }
    case CacheLayoutSpec::Windows10:
    case CacheLayoutSpec::Windows10Creators: {
        const std::uint32_t header = layout == CacheLayoutSpec::Windows10 ? 0x30 : 0x34;
        std::vector<std::uint8_t> value(header, 0);
        set32(value, 0, header);
        set32(value, header - 12, count);
        for (const CacheEntrySpec& entry : entries) {
            append(value, signedEntry("10ts", false, entry));
        }
        return value;
    }
    }
    return {};
}

std::vector<std::size_t> compatCacheEntryOffsets(const std::vector<std::uint8_t>& value) {
    std::vector<std::size_t> offsets;
    std::size_t at = value.size() >= 4 ? value[0] | value[1] << 8 : 0;
    while (at + 12 <= value.size() && (value[at + 1] == '0' && value[at + 2] == 't')) {
        offsets.push_back(at);
        const std::size_t size = value[at + 8] | value[at + 9] << 8 | value[at + 10] << 16 |
                                 static_cast<std::size_t>(value[at + 11]) << 24;
        at += 12 + size;
    }
    return offsets;
}

std::vector<std::uint8_t> bamData(std::uint64_t lastRun) {
    std::vector<std::uint8_t> data;
    put64(data, lastRun);
    put64(data, 0);
    put32(data, 0);
    put32(data, 2);
    return data;
}

HiveKeySpec& bamUserKey(HiveSpec& system, const std::wstring& controlSet,
                        const std::wstring& moderator, const std::wstring& sid, bool oldLayout) {
    return keyAt(system.root, controlSet + L"\\Services\\" + moderator +
                                  (oldLayout ? L"\\UserSettings\\" : L"\\State\\UserSettings\\") +
                                  sid);
}

HiveKeySpec& compatCacheKey(HiveSpec& system, const std::wstring& controlSet) {
    return keyAt(system.root, controlSet + L"\\Control\\Session Manager\\AppCompatCache");
}

HiveSpec amcacheHive(const std::vector<AmcacheInventorySpec>& inventory,
                     const std::vector<AmcacheFileSpec>& files, bool withInventoryKey) {
    HiveSpec spec;
    spec.root.name = L"{11517B7C-E79D-4e20-961B-75A811715ADD}";
    if (withInventoryKey) {
        keyAt(spec.root, L"Root\\InventoryApplicationFile");
    }
    for (const AmcacheInventorySpec& entry : inventory) {
        HiveKeySpec& key = keyAt(spec.root, L"Root\\InventoryApplicationFile\\" + entry.key);
        key.values.push_back(textValue(L"LowerCaseLongPath", entry.lowerCaseLongPath));
        if (!entry.name.empty()) {
            key.values.push_back(textValue(L"Name", entry.name));
        }
        key.values.push_back(textValue(L"FileId", entry.fileId));
        key.values.push_back(textValue(L"Publisher", entry.publisher));
        key.values.push_back(textValue(L"Version", entry.version));
        key.values.push_back(textValue(L"LinkDate", entry.linkDate));
        std::vector<std::uint8_t> size;
        put64(size, entry.size);
        key.values.push_back({L"Size", 11, size});
    }
    for (const AmcacheFileSpec& entry : files) {
        HiveKeySpec& key = keyAt(spec.root, L"Root\\File\\" + entry.volume + L"\\" + entry.key);
        key.values.push_back(textValue(L"15", entry.path));
        key.values.push_back(textValue(L"101", entry.sha1Value));
        std::vector<std::uint8_t> modified;
        put64(modified, entry.modified);
        key.values.push_back({L"11", 11, modified});
        std::vector<std::uint8_t> created;
        put64(created, entry.created);
        key.values.push_back({L"12", 11, created});
        key.values.push_back({L"f", 4, registryDword(entry.linkSeconds)});
        key.values.push_back({L"6", 4, registryDword(entry.size)});
    }
    return spec;
}

} // namespace tidewell::sample
