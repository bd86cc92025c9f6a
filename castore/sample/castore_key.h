// A user's Compatibility Assistant store as Windows writes it, for tests
// and sample machines: a value per program, its data in the assistant's
// own form (begun by "SACP"), uninterpreted by the reader.
#pragma once

#include <string>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

void addCompatibilityStore(HiveKeySpec& root, const std::vector<std::wstring>& programs);

} // namespace tidewell::sample
