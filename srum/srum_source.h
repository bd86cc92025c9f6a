// The SRUM source: the examined machine's Windows\System32\sru\SRUDB.dat,
// the System Resource Usage Monitor's database (Windows 8 and later), read
// as it stands through the ESE library, never written. For every program
// and user it holds hourly figures of processor, disk and network use for
// the last 30 to 60 days, which outlive the program and its Prefetch file.
// The running Windows holds it open: on this machine that is said, not
// counted as a failure.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource srumSource;

void scanSrum(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
