// Checks that a record parsed from a real Prefetch file agrees with the file
// itself: Windows names each file NAME-HASH.pf after the program's name and
// its path hash.
#pragma once

#include <filesystem>

#include "core/launch_record.h"
#include "platform/filetime.h"

namespace tidewell::testing {

void expectConsistentWithFile(const LaunchRecord& record, const std::filesystem::path& file,
                              FileTime now);

} // namespace tidewell::testing
