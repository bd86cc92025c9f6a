// Whether a scan's results may call themselves a complete picture of the
// machine, and if not, why: every failure counted, then the coverage. The
// report's last header line, the command-line summary and the machine-
// readable outputs all say the same.
#pragma once

#include <string>
#include <vector>

#include "core/scan_facts.h"
#include "core/scan_tally.h"

namespace tidewell {

// No failure, and every listed profile examined.
bool reportIsComplete(const ScanTally& tally, const ScanFacts& facts);

// Each failure by its report label and count ("shadow copies unreadable 2"), then
// the coverage; none for a complete picture.
std::vector<std::wstring> incompletenessReasons(const ScanTally& tally, const ScanFacts& facts);

} // namespace tidewell
