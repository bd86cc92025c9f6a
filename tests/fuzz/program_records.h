// How the programs fuzz target reads its input: records of every source,
// one after another, each as a kind byte, a path status, a Prefetch hash and
// version, flags, a time, and up to 64 UTF-16LE units of path text that
// stands for the record's path, its device path, its package name or its
// value name as its source would hold it. The seed writer writes the same
// form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "amcache/amcache_details.h"
#include "amcache/amcache_source.h"
#include "bam/bam_details.h"
#include "bam/bam_source.h"
#include "compatcache/compat_cache_details.h"
#include "compatcache/compat_cache_source.h"
#include "core/launch_record.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_source.h"
#include "userassist/userassist_source.h"

namespace tidewell::fuzz {

inline constexpr std::size_t recordHeader = 10;

inline std::uint32_t little32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

inline LaunchRecord recordFrom(const std::uint8_t* at, const std::wstring& text) {
    static const std::uint32_t versions[] = {17, 23, 26, 30, 31};
    const std::uint8_t kind = at[0] % 5;
    const auto status = static_cast<PathStatus>(at[1] % 5);
    const std::uint32_t hash = little32(at + 2);
    const std::uint32_t version = versions[at[6] % 5];
    const std::uint8_t flags = at[7];
    const std::uint64_t time = 133500000000000000ULL + (static_cast<std::uint64_t>(at[8]) << 32);
    const std::wstring name = text.substr(text.find_last_of(L'\\') + 1);
    LaunchRecord record;
    switch (kind) {
    case 0: {
        record = makeRecord(prefetchSource);
        PrefetchDetails& details = *prefetchDetails(record);
        details.pathHash = hash;
        details.formatVersion = version;
        details.referencedFiles = {text};
        if ((flags & 1) != 0) {
            details.recordedPath = text;
        }
        if ((flags & 2) != 0) {
            details.volumes = {{text.substr(0, text.find(L'\\', 1)), time + 1, hash}};
        }
        record.name = name.substr(0, 29);
        record.runTimes = {time};
        break;
    }
    case 1:
        record = makeRecord(userAssistSource);
        record.name = name;
        record.runTimes = {time};
        record.userSid = (flags & 1) != 0 ? L"S-1-5-21-1-2-3-1001" : L"";
        break;
    case 2: {
        record = makeRecord(bamSource);
        BamDetails& details = *bamDetails(record);
        details.recordedName = text;
        details.packagedApplication = flags & 1;
        record.name = name;
        record.runTimes = {time};
        record.userSid = L"S-1-5-21-1-2-3-1002";
        break;
    }
    case 3: {
        record = makeRecord(appCompatCacheSource);
        AppCompatCacheDetails& details = *appCompatCacheDetails(record);
        details.recordedPath = text;
        details.package = (flags & 1) != 0 ? text : L"";
        details.modified = (flags & 2) != 0 ? time : 0;
        record.name = name;
        break;
    }
    default: {
        record = makeRecord(amcacheSource);
        AmcacheDetails& details = *amcacheDetails(record);
        details.sha1 = std::wstring(40, (flags & 1) != 0 ? L'a' : L'b');
        details.modified = (flags & 2) != 0 ? time + 7 : 0;
        record.name = name;
        break;
    }
    }
    record.path = text;
    record.pathStatus = status;
    record.runCount = at[9];
    record.runCountKnown = flags >> 7;
    return record;
}

// Every whole record the bytes hold.
inline RecordList recordsFrom(const std::uint8_t* data, std::size_t size) {
    RecordList records;
    std::size_t at = 0;
    while (at + recordHeader + 1 <= size) {
        const std::uint8_t* header = data + at;
        const std::size_t units = header[recordHeader] % 65;
        at += recordHeader + 1;
        if (at + units * 2 > size) {
            break;
        }
        std::wstring text;
        for (std::size_t unit = 0; unit < units; ++unit) {
            text.push_back(
                static_cast<wchar_t>(data[at + unit * 2] | data[at + unit * 2 + 1] << 8));
        }
        at += units * 2;
        records.push_back(recordFrom(header, text));
    }
    return records;
}

} // namespace tidewell::fuzz
