// No volume of the examined machine is mounted here; its Prefetch files
// prove one all the same: the volume they loaded \WINDOWS\SYSTEM32\NTDLL.DLL
// from is its system volume, whose letter the machine's SystemRoot gives.
#pragma once

#include <cstddef>
#include <string>

#include "core/launch_record.h"
#include "prefetch/volume_path.h"

namespace tidewell {

// The volumes the records from first on may be placed on: the system volume
// when every file that names NTDLL.DLL there agrees on its serial and the
// system drive is known (such as C:), and none otherwise.
VolumeSource evidenceVolumes(const RecordList& records, std::size_t first,
                             const std::wstring& systemDrive);

} // namespace tidewell
