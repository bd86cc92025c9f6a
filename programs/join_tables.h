// The builder's two tables: the records joined so far, as sets, and the
// first record of each join key.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// Records joined so far, as sets: each record points towards the first
// record of its program.
struct JoinedSets {
    std::vector<std::size_t> parent;

    explicit JoinedSets(std::size_t count) : parent(count) {
        std::iota(parent.begin(), parent.end(), std::size_t{0});
    }
    std::size_t rootOf(std::size_t record) {
        while (parent[record] != record) {
            parent[record] = parent[parent[record]];
            record = parent[record];
        }
        return record;
    }
    void join(std::size_t a, std::size_t b) {
        const std::size_t rootA = rootOf(a);
        const std::size_t rootB = rootOf(b);
        if (rootA != rootB) {
            parent[std::max(rootA, rootB)] = std::min(rootA, rootB);
        }
    }
};

// A span of a text, by its offset and length.
struct TextSpan {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// The first record of each join key, in a table of its own: open addressing
// over the keys' spans in one text, so that a scan's keys take two
// allocations rather than two each.
struct KeyTable {
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t record = 0; // its index + 1; 0: empty
    };
    std::wstring text;
    std::vector<TextSpan> keys; // each record's; empty: none
    std::vector<Slot> slots;
    std::size_t mask = 0;

    explicit KeyTable(std::size_t records) : keys(records) {
        text.reserve(records * 40);
        std::size_t size = 16;
        while (size < records * 2) {
            size *= 2;
        }
        slots.assign(size, Slot{});
        mask = size - 1;
    }
    std::wstring_view keyOf(std::size_t record) const {
        const TextSpan span = keys[record];
        return std::wstring_view(text).substr(span.offset, span.length);
    }
    std::size_t hashOf(std::size_t record) const {
        return std::hash<std::wstring_view>{}(keyOf(record));
    }
    // Asks for the key's first slot ahead of its use: a table of a large
    // scan is larger than the cache, and each key lands in it at random.
    void prefetch(std::size_t hash) const {
#if defined(__GNUC__)
        __builtin_prefetch(&slots[hash & mask]);
#else
        (void)hash;
#endif
    }
    // The first record with the record's key (its own index when it is the
    // first), hash being hashOf(record).
    std::size_t firstWith(std::size_t record, std::size_t hash) {
        const std::wstring_view key = keyOf(record);
        const auto shortHash = static_cast<std::uint32_t>(hash >> 32);
        std::size_t slot = hash & mask;
        while (slots[slot].record != 0) {
            const std::size_t other = slots[slot].record - 1;
            if (slots[slot].hash == shortHash && keyOf(other) == key) {
                return other;
            }
            slot = (slot + 1) & mask;
        }
        slots[slot] = {shortHash, static_cast<std::uint32_t>(record + 1)};
        return record;
    }
};

} // namespace tidewell
