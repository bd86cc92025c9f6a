// A user's FeatureUsage keys as the taskbar writes them, for tests and
// sample machines: one subkey's REG_DWORD counts, each named by a path, a
// folder id and path, or an application id.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

using FeatureUsageCounts = std::vector<std::pair<std::wstring, std::uint32_t>>;

// Adds the counts under root's ...\Explorer\FeatureUsage\<key> (AppLaunch,
// AppSwitched, ShowJumpView or any other).
void addFeatureUsageCounts(HiveKeySpec& root, const std::wstring& key,
                           const FeatureUsageCounts& counts);

} // namespace tidewell::sample
