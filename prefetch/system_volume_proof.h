// Where the volumes a Prefetch file names are looked for. On this machine,
// among its mounted volumes. On a collected drive no volume is mounted here,
// but its own Prefetch files prove one all the same: the volume they loaded
// \WINDOWS\SYSTEM32\NTDLL.DLL from is its system volume, whose letter the
// machine's SystemRoot gives.
#pragma once

#include <cstddef>

#include "core/launch_record.h"
#include "machine/examined_machine.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/volume_path.h"

namespace tidewell {

// The volumes the records from first on may be placed on. Without mounted
// volumes: the system volume when every file that names NTDLL.DLL there
// agrees on its serial and the system drive is known (such as C:), and none
// otherwise.
VolumeSource placeableVolumes(const PathNaming& naming, const RecordList& records,
                              std::size_t first);

} // namespace tidewell
