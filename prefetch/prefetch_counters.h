// What the Prefetch source counts: one outcome for every file of the folder
// (every file seen ends in exactly one of unreadable, not a Prefetch file,
// decompression failed, malformed, unknown version or parsed), and what it
// found doubtful in the files it read. Its counters stand among the report's
// shared lines, in the places the report has always given them.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter prefetchDirUnreadable{
    .key = "prefetch_dir_unreadable",
    .failure = true,
    .reportLabel = L"PREFETCH DIRECTORY UNREADABLE - no prefetch record was examined",
    .statusFragment = L" prefetch directory unreadable;",
    .statusPosition = 1,
    .place = 1,
};
inline constexpr ScanCounter prefetchSeen{
    .key = "prefetch_seen",
    .reportLabel = L"prefetch files seen",
    .place = 3,
};
inline constexpr ScanCounter prefetchParsed{
    .key = "prefetch_parsed",
    .reportLabel = L"prefetch parsed",
    .place = 4,
};
inline constexpr ScanCounter prefetchUnreadable{
    .key = "prefetch_unreadable",
    .failure = true,
    .reportLabel = L"prefetch unreadable",
    .statusFragment = L" %lu file(s) unreadable;",
    .statusPosition = 3,
    .place = 5,
};
inline constexpr ScanCounter prefetchNotPrefetch{
    .key = "prefetch_not_prefetch",
    .failure = true,
    .reportLabel = L"prefetch not a prefetch file",
    .statusFragment = L" %lu not prefetch files;",
    .statusPosition = 7,
    .place = 6,
};
inline constexpr ScanCounter prefetchDecompressFailed{
    .key = "prefetch_decompress_failed",
    .failure = true,
    .reportLabel = L"prefetch decompression failed",
    .statusFragment = L" %lu could not be decompressed;",
    .statusPosition = 4,
    .place = 7,
};
inline constexpr ScanCounter prefetchMalformed{
    .key = "prefetch_malformed",
    .failure = true,
    .reportLabel = L"prefetch malformed",
    .statusFragment = L" %lu malformed;",
    .statusPosition = 5,
    .place = 8,
};
inline constexpr ScanCounter prefetchUnknownVersion{
    .key = "prefetch_unknown_version",
    .failure = true,
    .reportLabel = L"prefetch unknown version",
    .statusFragment = L" %lu unknown format version;",
    .statusPosition = 6,
    .place = 9,
};
// A count withheld stands in the status bar in place of the elevation.
inline constexpr ScanCounter prefetchRunCountUnverified{
    .key = "prefetch_run_count_unverified",
    .reportLabel = L"prefetch run count unverified",
    .place = 10,
    .statusNote = L" %lu run count(s) withheld ",
};
inline constexpr ScanCounter prefetchListOutside{
    .key = "prefetch_list_outside",
    .failure = true,
    .reportLabel = L"prefetch file list or volume block outside the file",
    .statusFragment = L" %lu with a file list outside the file;",
    .statusPosition = 9,
    .place = 11,
};
inline constexpr ScanCounter prefetchPathNotUnique{
    .key = "prefetch_path_not_unique",
    .reportLabel = L"prefetch path not unique - several loaded files carry the program's name",
    .place = 12,
};
inline constexpr ScanCounter prefetchListingStopped{
    .key = "prefetch_listing_stopped",
    .failure = true,
    .reportLabel = L"prefetch directory listing stopped on an error",
    .statusFragment = L" the directory listing stopped early;",
    .statusPosition = 14,
    .place = 13,
};
inline constexpr ScanCounter prefetchNonPrefetchSkipped{
    .key = "prefetch_non_prefetch_skipped",
    .reportLabel = L"non-prefetch files skipped (expected)",
    .place = 15,
};
// The volumes the files' paths name, where they could not be placed.
inline constexpr ScanCounter volumesNotIdentified{
    .key = "volumes_not_identified",
    .reportLabel = L"volumes not identified",
    .place = 26,
};
inline constexpr ScanCounter volumesAmbiguous{
    .key = "volumes_ambiguous",
    .reportLabel = L"volumes ambiguous - more than one mounted volume has that serial",
    .place = 27,
};
// Files whose run times do not stand newest first.
inline constexpr ScanCounter prefetchRunTimesOutOfOrder{
    .key = "prefetch_run_times_out_of_order",
    .reportLabel = L"prefetch run times out of time order - clock set back or file altered",
    .line = CounterLine::NotInLiveCsv,
    .place = 36,
};
// Deleted files a disk image's file table still lists.
inline constexpr ScanCounter deletedPrefetchRead{
    .key = "deleted_prefetch_read",
    .reportLabel = L"deleted prefetch files read from the file table",
    .line = CounterLine::Image,
    .place = 42,
};
inline constexpr ScanCounter deletedPrefetchUnreadable{
    .key = "deleted_prefetch_unreadable",
    .reportLabel = L"deleted prefetch files overwritten or unreadable (expected)",
    .line = CounterLine::Image,
    .place = 43,
};

inline constexpr const ScanCounter* prefetchCounters[] = {
    &prefetchDirUnreadable,      &prefetchSeen,           &prefetchParsed,
    &prefetchUnreadable,         &prefetchNotPrefetch,    &prefetchDecompressFailed,
    &prefetchMalformed,          &prefetchUnknownVersion, &prefetchRunCountUnverified,
    &prefetchListOutside,        &prefetchPathNotUnique,  &prefetchListingStopped,
    &prefetchNonPrefetchSkipped, &volumesNotIdentified,   &volumesAmbiguous,
    &prefetchRunTimesOutOfOrder, &deletedPrefetchRead,    &deletedPrefetchUnreadable,
};

} // namespace tidewell
