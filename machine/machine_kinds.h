// Each kind of examined machine opened for what a scan names (each defined
// in its own file beside its table of functions).
#pragma once

#include <string>

#include "core/scan_results.h"
#include "machine/evidence_file.h"
#include "machine/examined_machine.h"

namespace tidewell {

// The Windows machine the program runs on.
EvidenceCheck openThisMachine(ExaminedMachine& machine, ScanResults& results);

// A folder holding a copy of a Windows system drive (or one folder down).
EvidenceCheck openFolderMachine(const std::wstring& root, ExaminedMachine& machine,
                                ScanResults& results);

// A disk image's Windows volume, with its shadow copies as older states,
// read through the image file the scan opened.
EvidenceCheck openImageMachine(const ScanTarget& target, const EvidenceFileHandle& evidence,
                               ExaminedMachine& machine, ScanResults& results);

// A Velociraptor collection's Windows drive, with its shadow-copy devices
// as older states: its zip, read through the file the scan opened, or its
// folder (zip null).
EvidenceCheck openCollectionMachine(const ScanTarget& target, const EvidenceFileHandle& zip,
                                    ExaminedMachine& machine, ScanResults& results);

} // namespace tidewell
