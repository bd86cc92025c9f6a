// The records of one PCA file: one per line that held its fields, its path
// placed where the examined machine's own variables place it.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "machine/machine_variables.h"
#include "pca/pca_text.h"

namespace tidewell {

// A line's path as it can be shown: expanded where its variables are the
// machine's (%ProgramFiles%), and otherwise as recorded, with the status
// that says why (a user's folder, or no drive).
void placePcaPath(const std::wstring& recorded, const Variables& variables, LaunchRecord& record);

// Appends a record for every line of the file, and counts the lines, the
// withheld ones and the paths that could not be placed.
void makePcaRecords(const PcaFileRead& read, PcaFileKind kind, const std::wstring& fileName,
                    const std::wstring& recordFile, const Variables& variables, RecordList& records,
                    ScanTally& tally);

} // namespace tidewell
