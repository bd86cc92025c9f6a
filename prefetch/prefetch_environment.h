// The machine's Prefetch set-up, stated beside the records: elevation, the
// prefetcher setting, whether the folder can be listed and how many files
// this Windows keeps.
#pragma once

#include "core/scan_facts.h"

namespace tidewell {

// Fills the Prefetch half of a fresh ScanFacts; every other field is zero.
// Never fails: a fact that cannot be established takes its default (not
// elevated, setting absent and so prefetching assumed on, folder not
// readable, a limit of 128).
ScanFacts probePrefetchSetup();

} // namespace tidewell
