// What only a PCA line records, beside a record's common fields.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "pca/pca_text.h"

namespace tidewell {

struct PcaDetails {
    PcaFileKind kind = PcaFileKind::LaunchDictionary;
    std::wstring fileName; // the file's own name, such as PcaGeneralDb1.txt
    PcaLine line;          // every field as the file wrote it
};

// The details of a PCA record, or null for a record of another source.
inline const PcaDetails* pcaDetails(const LaunchRecord& record) {
    return detailsAs<PcaDetails>(record);
}
inline PcaDetails* pcaDetails(LaunchRecord& record) {
    return detailsAs<PcaDetails>(record);
}

} // namespace tidewell
