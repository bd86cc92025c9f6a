// What the banner and the status bar say about a scan: which source could
// not be read, what failed, how far the profiles were covered.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "core/program_list.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"
#include "core/scan_tally.h"
#include "platform/filetime.h"
#include "platform/timestamp_format.h"

namespace tidewell {

// The date part of a timestamp ("YYYY-MM-DD"), or empty text.
std::wstring formatDate(FileTime value, TimeBasis times = TimeBasis::Local);

// The banner's whole text: a first sentence (nothing could be read; a source
// that could not be read, in its own words; a source's warning; or what was
// read and the span of its run times, with the profiles covered), then what
// else was read, not present, not readable or held open, and a paragraph on
// what each source can show. For collected evidence it begins by naming the
// folder it read, and speaks of the examined machine.
std::wstring bannerText(const ScanTally& tally, const ScanFacts& facts, const ScanOrigin& origin,
                        TimeBasis times = TimeBasis::Local);

// The status bar's first part in the Programs view: how many programs are
// shown of all, and how many records joined and did not.
std::wstring programsShownText(std::size_t shown, const ProgramList& programs);

// The four parts of the status bar.
std::array<std::wstring, 4> statusBarTexts(std::size_t shown, std::size_t total,
                                           const ScanTally& tally, const ScanFacts& facts);

} // namespace tidewell
