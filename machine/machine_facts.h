// What a scan states of the examined machine beside its records: its
// Prefetch set-up (the prefetcher setting, whether the folder can be listed,
// how many files its Windows keeps) and, on this machine, whether the
// program runs elevated. This machine's facts follow the stated defaults
// where one cannot be read (not elevated, setting absent and so prefetching
// assumed on, a limit of 128); a collected machine's facts are only what its
// own files say, and the rest is marked not known.
#pragma once

#include "core/scan_facts.h"
#include "machine/examined_machine.h"

namespace tidewell {

// Fills the Prefetch half of a fresh ScanFacts; every other field is zero.
ScanFacts readPrefetchSetup(ExaminedMachine& machine);

} // namespace tidewell
