// Whole scans for the tests of one source: of a folder holding a copy of a
// drive, or of this machine (the test double), and the records of one
// source among the results.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/record_source.h"
#include "scan/scan_driver.h"
#include "support/corpus_files.h"
#include "support/temp_folder.h"

namespace tidewell::testing {

inline ScanResults scanEvidence(const std::filesystem::path& root) {
    ScanResults results;
    runScan(ScanTarget{ScanSubject::EvidenceRoot, programText(root)}, results);
    return results;
}

inline ScanResults scanThisMachine() {
    ScanResults results;
    runScan(ScanTarget{}, results);
    return results;
}

inline std::vector<const LaunchRecord*> recordsOf(const ScanResults& results,
                                                  const RecordSource& source) {
    std::vector<const LaunchRecord*> found;
    for (const LaunchRecord& record : results.records) {
        if (record.source == &source) {
            found.push_back(&record);
        }
    }
    return found;
}

// The record of that name, or null (the test fails) when there is none.
inline const LaunchRecord* recordNamed(const std::vector<const LaunchRecord*>& records,
                                       const std::wstring& name) {
    for (const LaunchRecord* record : records) {
        if (record->name == name) {
            return record;
        }
    }
    ADD_FAILURE() << "no record named " << narrow(name);
    return nullptr;
}

// The lines an output holds, split at its line ends.
inline std::size_t linesIn(const std::string& text) {
    std::size_t lines = 0;
    for (char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

} // namespace tidewell::testing
