// A Prefetch file names its program only by the executable name in its
// header; the full path has to be found among the files the program loaded.
#pragma once

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "prefetch/volume_path.h"

namespace tidewell {

// Sets the record's path and path status from its referenced files: none
// carries the name (no path), several do (the first eight, as stored, unless
// the path the file records picks out one of them), or exactly one does
// (rewritten onto its volume's mount point, or kept as stored when the
// volume cannot be identified).
void choosePrefetchPath(LaunchRecord& record, ScanTally& tally,
                        const VolumeSource& volumes = VolumeSource{});

} // namespace tidewell
