// The moderators' BAM/DAM values as Windows writes them, and their keys in
// both layouts of a SYSTEM hive. For tests, fuzz seeds and the seeding
// tools; the product never links it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sample/hive_writer.h"

namespace tidewell::sample {

// A moderator's value: the last run in its first eight bytes, then the
// sixteen bytes Windows writes after it.
std::vector<std::uint8_t> bamData(std::uint64_t lastRun);

// The value's key in a SYSTEM hive's ControlSet00N: below Services, the
// moderator's State\UserSettings\<sid> (Windows 10 1809 on) or, with
// oldLayout, its UserSettings\<sid>.
HiveKeySpec& bamUserKey(HiveSpec& system, const std::wstring& controlSet,
                        const std::wstring& moderator, const std::wstring& sid,
                        bool oldLayout = false);

} // namespace tidewell::sample
