// The detail window's text for a program: its path and how it was placed,
// its runs and who ran it, what its records say of the file, where they
// disagree, and every record of it with its source, its times under their
// own names and what it proves.
#pragma once

#include <string>

#include "core/launch_record.h"
#include "core/program_list.h"
#include "core/record_source.h"
#include "core/scan_origin.h"

namespace tidewell {

// Lines end in CR LF; labels are 19 characters wide.
std::wstring buildProgramDetailText(const ProgramList& list, const Program& program,
                                    const RecordList& records, const DetailContext& context,
                                    const ScanOrigin& origin);

} // namespace tidewell
