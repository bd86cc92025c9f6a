// The BAM/DAM source: every user's values of both moderators, in both
// layouts Windows has used (Services\bam\State\UserSettings\<SID> from
// Windows 10 1809, Services\bam\UserSettings\<SID> before it), from the
// examined machine's SYSTEM keys of its current control set.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource bamSource;

void scanBam(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
