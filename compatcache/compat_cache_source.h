// The application compatibility cache source: the value "AppCompatCache" of
// the examined machine's current control set (below it,
// Control\Session Manager\AppCompatCache), one record per entry, in the
// cache's own order. An entry says that Windows looked at the file, not that
// it ran, and its time is the file's modification time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource appCompatCacheSource;

// The largest value read: Windows keeps at most 1,024 entries.
inline constexpr std::uint32_t compatCacheReadLimit = 16u * 1024 * 1024;

void scanAppCompatCache(ExaminedMachine& machine, ScanResults& results);

// The records of a value already read (the scan's own reading, and tests'),
// its SYSVOL paths placed on systemDrive (such as C:; empty: not known).
void recordsFromCompatCache(const std::uint8_t* data, std::size_t size,
                            const std::wstring& systemDrive, ScanResults& results);

} // namespace tidewell
