// The plain Prefetch format ("SCCA"): one file's bytes become one launch
// record, or one counted rejection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "platform/filetime.h"

namespace tidewell {

// Parses a whole Prefetch image. On true the record is complete apart from
// its path (left empty, NoPathRecorded); on false it is to be discarded.
// Counts exactly one outcome for a rejected image, and prefetchParsed once
// (plus at most one each of prefetchRunCountUnverified and
// prefetchListOutside) for an accepted one.
bool parsePrefetch(const std::uint8_t* image, std::size_t size, const std::wstring& filePath,
                   LaunchRecord& record, ScanTally& tally);

// The same, with the clock reading that bounds the run times given.
bool parsePrefetchAt(const std::uint8_t* image, std::size_t size, const std::wstring& filePath,
                     LaunchRecord& record, ScanTally& tally, FileTime now);

// The run count believed for an image, or nothing when it is withheld.
// runTimesKept is the number of run times the image recorded.
std::optional<std::uint32_t> chooseRunCount(std::uint32_t version, std::uint32_t mainCount,
                                            std::uint32_t alternateCount,
                                            std::uint32_t metricsOffset, std::size_t runTimesKept);

} // namespace tidewell
