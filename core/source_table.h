// The table of sources: what a scan runs, in order, against the examined
// machine, and how each source's records are shown. Adding a source is one
// folder of its own (its reading, its details in the record, its
// description) and one row here.
#pragma once

#include <cstddef>
#include <iterator>

#include "core/launch_record.h"
#include "core/record_view.h"
#include "core/scan_results.h"
#include "machine/examined_machine.h"

namespace tidewell {

struct SourceEntry {
    RecordSource source;
    // Appends the source's records and counts one outcome per item it met.
    void (*scan)(ExaminedMachine& machine, ScanResults& results);
    const RecordView* view;
};

extern const SourceEntry sourceTable[recordSourceCount];

} // namespace tidewell
