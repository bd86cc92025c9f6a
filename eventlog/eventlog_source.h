// The event log source: every process start the machine's event logs
// recorded, where process auditing (Security, event 4688) or Sysmon (its
// operational log, event 1) was on: the one record Windows keeps of every
// start of every program, with its command line, its parent and its
// account. Evidence's logs are read as files through libevtx, never
// written; the running Windows' own logs through its event-log API.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource eventLogSource;

void scanEventLogs(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
