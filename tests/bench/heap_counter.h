// Heap accounting for the benchmark programs that link heap_counter.cpp:
// the bytes live now, and the most that were live since the last reset.
#pragma once

#include <cstddef>

namespace tidewell::bench {

std::size_t liveHeapBytes();
std::size_t peakHeapBytes();
// Starts a new peak from what is live now.
void resetHeapPeak();

} // namespace tidewell::bench
