// A walk of every key and value a hive's root leads to, reading each record
// and each value's data as a reader later would. A hive replayed from logs
// whose earlier entries are missing is trusted only when this walk finds
// nothing it cannot read.
#pragma once

#include "hive/hive_image.h"

namespace tidewell {

// True when every key node below the root (itself included), every subkey
// and value list, every value and all of its data can be read, and no key
// is reached twice (a loop or a shared key is not a sound hive).
bool hiveWalksCleanly(const HiveImage& hive);

} // namespace tidewell
