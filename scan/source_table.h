// The table of sources: what a scan reads, in order, from the examined
// machine, and the description of each source's records. A source is one
// folder of its own (its reading, its details, counters, facts, coverage
// words and view) and one row here.
#pragma once

#include <span>

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

struct SourceEntry {
    const RecordSource* source;
    // Appends the source's records and counts one outcome per item it met.
    void (*scan)(ExaminedMachine& machine, ScanResults& results);
};

std::span<const SourceEntry> sourceTable();

// The descriptions alone, in the order of the table.
std::span<const RecordSource* const> tableSources();

} // namespace tidewell
