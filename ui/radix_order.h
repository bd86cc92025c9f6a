// Sorting many entries by a 64-bit key in a few linear passes: a stable
// least-significant-byte radix sort that skips every byte the keys share
// (texts are mostly ASCII and ranks are small, so most bytes are shared).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tidewell {

// Ranges below this are sorted by comparison: the passes' fixed cost would
// be the larger one.
constexpr std::size_t radixOrderThreshold = 256;

// Orders count entries by their member key, ascending; entries with equal
// keys keep their order where the radix passes ran (at least
// radixOrderThreshold entries), and may not below it. scratch holds count
// entries, its contents left undefined.
template <typename Entry> void radixOrderByKey(Entry* entries, std::size_t count, Entry* scratch) {
    if (count < radixOrderThreshold) {
        std::sort(entries, entries + count,
                  [](const Entry& a, const Entry& b) { return a.key < b.key; });
        return;
    }
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t key = entries[i].key;
        for (std::size_t byte = 0; byte < 8; ++byte) {
            ++counts[byte][(key >> (8 * byte)) & 0xFF];
        }
    }
    const std::uint64_t sample = entries[0].key;
    Entry* from = entries;
    Entry* to = scratch;
    for (std::size_t byte = 0; byte < 8; ++byte) {
        std::array<std::uint32_t, 256>& histogram = counts[byte];
        if (histogram[(sample >> (8 * byte)) & 0xFF] == count) {
            continue; // every key has this byte
        }
        std::uint32_t at = 0;
        for (std::uint32_t& bucket : histogram) {
            const std::uint32_t size = bucket;
            bucket = at;
            at += size;
        }
        for (std::size_t i = 0; i < count; ++i) {
            to[histogram[(from[i].key >> (8 * byte)) & 0xFF]++] = from[i];
        }
        std::swap(from, to);
    }
    if (from != entries) {
        std::copy(from, from + count, entries);
    }
}

// The same over entries[begin, end) of a vector, with a reused scratch.
template <typename Entry>
void radixOrderByKey(std::vector<Entry>& entries, std::size_t begin, std::size_t end,
                     std::vector<Entry>& scratch) {
    if (scratch.size() < end - begin) {
        scratch.resize(end - begin);
    }
    radixOrderByKey(entries.data() + begin, end - begin, scratch.data());
}

} // namespace tidewell
