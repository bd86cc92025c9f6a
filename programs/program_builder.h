// Brings a scan's records together per program: every record in exactly
// one program, joined only where the paths agree once written alike, where
// a device path hashes to a Prefetch file's name, or by package family.
#pragma once

#include "core/launch_record.h"
#include "core/program_list.h"
#include "core/scan_origin.h"

namespace tidewell {

ProgramList buildPrograms(const RecordList& records, const ScanOrigin& origin);

} // namespace tidewell
