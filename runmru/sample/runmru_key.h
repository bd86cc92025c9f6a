// A user's RunMRU key as the Run dialog writes it, for tests and sample
// machines: a letter per command, each ending in "\1", and MRUList giving
// the letters newest first.
#pragma once

#include <string>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

// Commands newest first: the first is a, the next b and so on, and MRUList
// lists them in that order.
void addRunMru(HiveKeySpec& root, const std::vector<std::wstring>& newestFirst);

} // namespace tidewell::sample
