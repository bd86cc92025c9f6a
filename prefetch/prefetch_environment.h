// The machine's Prefetch set-up, stated beside the records: elevation, the
// prefetcher setting, whether the folder can be listed and how many files
// this Windows keeps.
#pragma once

#include <string>

#include "core/scan_facts.h"
#include "registry/registry.h"

namespace tidewell {

// Fills the Prefetch half of a fresh ScanFacts; every other field is zero.
// Never fails: a fact that cannot be established takes its default (not
// elevated, setting absent and so prefetching assumed on, folder not
// readable, a limit of 128).
ScanFacts probePrefetchSetup();

// Where a copy of another machine's drive keeps the same facts: the root
// keys of its SYSTEM and SOFTWARE hives (null for a hive that could not be
// read), the SYSTEM hive's current control set (such as ControlSet001; empty
// when not known) and its Prefetch folder (empty when it has none).
struct EvidencePrefetchSetup {
    const RegistryKey* system = nullptr;
    const RegistryKey* software = nullptr;
    std::wstring controlSet;
    std::wstring prefetchFolder;
};

// The same facts of the examined machine: its prefetcher setting from its
// current control set, its Windows version from its SOFTWARE hive. None of
// the live defaults stands in for it: a fact its files do not give is
// marked not known, and this process's elevation is not one of its facts.
ScanFacts probeEvidencePrefetchSetup(const EvidencePrefetchSetup& evidence);

} // namespace tidewell
