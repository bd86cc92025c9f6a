// Replaces the global allocation functions of a benchmark program so that
// its peak heap can be reported beside its speed.
#include "heap_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};
} // namespace

namespace tidewell::bench {

std::size_t liveHeapBytes() {
    return live.load();
}
std::size_t peakHeapBytes() {
    return peak.load();
}
void resetHeapPeak() {
    peak = live.load();
}

} // namespace tidewell::bench

// The replacements pair malloc with free themselves; the compiler cannot see
// that new and delete are both replaced here.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t now = live += malloc_usable_size(block);
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return block;
}

void operator delete(void* block) noexcept {
    if (block != nullptr) {
        live -= malloc_usable_size(block);
        std::free(block);
    }
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}
