// The history of each program across the states of one machine: the machine
// as it is, then older copies of it (shadow copies). A record keeps only so
// many run times, and Windows only so many records, but every copy holds
// them as they were then: one record per program (records whose source's
// merge key is the same) gathers the run times of every copy, each
// remembering the copy it was found in.
#pragma once

#include <cstdint>

#include "core/launch_record.h"
#include "core/scan_tally.h"

namespace tidewell {

// Before the first older state is merged: every record is marked as found
// in the current state (0), and each of its run times too.
void markCurrentState(RecordList& records);

// Merges an older state's records (copy is its index among the scan's
// copies): a record of a program already known adds the run times it alone
// holds; a program known only to this copy becomes a record of its own.
// States are merged newest first, so that a record keeps the run count of
// the newest state that holds it.
void mergeOlderState(RecordList& records, RecordList& older, CopyIndex copy, ScanTally& tally);

// After the last: the run times of a record found in several states stand
// newest first, each with its copy. A record found in one state keeps its
// run times as that state recorded them.
void orderMergedRunTimes(RecordList& records);

} // namespace tidewell
