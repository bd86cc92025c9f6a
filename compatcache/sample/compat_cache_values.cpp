#include "compatcache/sample/compat_cache_values.h"

#include "sample/evidence_tree.h"
#include "sample/little_endian.h"

namespace tidewell::sample {

namespace {

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
        const std::vector<std::uint8_t> path = utf16Bytes(entry.path);
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
    const std::vector<std::uint8_t> path = utf16Bytes(entry.path);
    put16(body, static_cast<std::uint32_t>(path.size()));
    append(body, path);
    if (windows8) {
        const std::vector<std::uint8_t> package = utf16Bytes(entry.package);
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

HiveKeySpec& compatCacheKey(HiveSpec& system, const std::wstring& controlSet) {
    return keyAt(system.root, controlSet + L"\\Control\\Session Manager\\AppCompatCache");
}

} // namespace tidewell::sample
