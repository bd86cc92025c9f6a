// The PCA source: the Program Compatibility Assistant's text files in the
// examined machine's Windows\appcompat\pca (Windows 11 22H2 and later): the
// launch dictionary, each program's last launch the assistant saw, and the
// general databases, each event of a program it watched. Read from every
// kind of examined machine alike; a machine without them keeps none.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource pcaSource;

void scanPca(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
