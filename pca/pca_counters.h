// What the PCA source counts: the files it could not read, every line it
// read, and the lines and times it had to withhold. Listed after the
// report's line that says whether the machine keeps the files.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter pcaFilesUnreadable{
    .key = "pca_files_unreadable",
    .failure = true,
    .reportLabel = L"PCA files unreadable",
    .statusFragment = L" %lu PCA file(s) unreadable;",
    .statusPosition = 47,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter pcaLinesRead{
    .key = "pca_lines_read",
    .reportLabel = L"PCA lines read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter pcaLinesMalformed{
    .key = "pca_lines_malformed",
    .failure = true,
    .reportLabel = L"PCA lines without their fields (not shown)",
    .statusFragment = L" %lu PCA line(s) without their fields;",
    .statusPosition = 48,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter pcaTimesMalformed{
    .key = "pca_times_malformed",
    .failure = true,
    .reportLabel = L"PCA times not a possible date (withheld)",
    .statusFragment = L" %lu PCA time(s) not a possible date;",
    .statusPosition = 49,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter pcaPathsNotPlaced{
    .key = "pca_paths_not_placed",
    .reportLabel = L"PCA paths without a drive or with a user's folder (shown as recorded)",
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* pcaCounters[] = {
    &pcaFilesUnreadable, &pcaLinesRead, &pcaLinesMalformed, &pcaTimesMalformed, &pcaPathsNotPlaced,
};

} // namespace tidewell
