// Values of the application compatibility cache, written field by field as
// Windows writes them, in every layout read (and the earlier ones, which are
// recognised only), and the value's key in a SYSTEM hive. For tests, fuzz
// seeds and the seeding tools; the product never links it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

struct CacheEntrySpec {
    std::wstring path; // as the entry holds it
    std::uint64_t modified = 0;
    std::uint32_t insertionFlags = 0;
    std::uint32_t shimFlags = 0;
    std::vector<std::uint8_t> data;
    std::wstring package; // Windows 8: the package the entry belongs to
};

enum class CacheLayoutSpec {
    Windows7x86,
    Windows7x64,
    Windows80,         // "00ts" entries
    Windows81,         // "10ts" entries after a 128-byte header
    Windows10,         // "10ts" entries after a 48-byte header
    Windows10Creators, // ... after a 52-byte header
};

// The whole value, entries in the order given (the newest first), its
// header's count the number of entries unless statedCount says otherwise.
std::vector<std::uint8_t> compatCacheValue(CacheLayoutSpec layout,
                                           const std::vector<CacheEntrySpec>& entries,
                                           long statedCount = -1);

// Where each entry of a value of signed entries (Windows 8 and 10) begins.
std::vector<std::size_t> compatCacheEntryOffsets(const std::vector<std::uint8_t>& value);

// The AppCompatCache value's key in ControlSet00N.
HiveKeySpec& compatCacheKey(HiveSpec& system, const std::wstring& controlSet);

} // namespace tidewell::sample
