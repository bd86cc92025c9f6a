// The Compatibility Assistant store (Windows 7 to 10): each user's
// AppCompatFlags\Compatibility Assistant\Store key, one value per program
// the assistant watched start, named by the program's full path; the key's
// last writing dates only its newest change.
#pragma once

#include "core/record_source.h"
#include "core/scan_results.h"

namespace tidewell {

struct ExaminedMachine;

extern const RecordSource compatibilityStoreSource;

void scanCompatibilityStore(ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
