// The programs in the JSON document: each with the indices of its records,
// how each joined and what it proves, its runs, users, file facts and
// flags, and the counts of the whole list.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/program_list.h"
#include "core/scan_origin.h"

namespace tidewell {

// The "programs" and "program_counts" members, each preceded by a comma:
// they follow the records in the document's one object.
std::string jsonProgramMembers(const ProgramList& programs, const RecordList& records,
                               const ScanOrigin& origin);

} // namespace tidewell
