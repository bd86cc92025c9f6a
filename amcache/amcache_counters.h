// What the Amcache source counts: whether its hive could be read (or was
// held open by the running Windows), every entry seen and read, and every
// key or value that could not be read. Listed after the report's line that
// says whether the machine keeps an Amcache.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter amcacheUnreadable{
    .key = "amcache_unreadable",
    .failure = true,
    .reportLabel = L"Amcache hive unreadable or malformed",
    .statusFragment = L" the Amcache hive could not be read;",
    .statusPosition = 30,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter amcacheHeldOpen{
    .key = "amcache_held_open",
    .reportLabel = L"Amcache hive held open by the running Windows - not read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter amcacheStale{
    .key = "amcache_stale",
    .failure = true,
    .reportLabel =
        L"Amcache hive dirty with its transaction logs absent or unusable - its data may be stale",
    .statusFragment = L" the Amcache hive is dirty without usable logs (data may be stale);",
    .statusPosition = 31,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter amcacheKeysUnreadable{
    .key = "amcache_keys_unreadable",
    .failure = true,
    .reportLabel = L"Amcache keys unreadable",
    .statusFragment = L" %lu Amcache key(s) unreadable;",
    .statusPosition = 32,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter amcacheEntriesSeen{
    .key = "amcache_entries_seen",
    .reportLabel = L"Amcache entries seen",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter amcacheEntriesRead{
    .key = "amcache_entries_read",
    .reportLabel = L"Amcache entries read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter amcacheValuesMalformed{
    .key = "amcache_values_malformed",
    .failure = true,
    .reportLabel = L"Amcache values malformed - withheld",
    .statusFragment = L" %lu Amcache value(s) malformed;",
    .statusPosition = 33,
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* amcacheCounters[] = {
    &amcacheUnreadable,  &amcacheHeldOpen,    &amcacheStale,           &amcacheKeysUnreadable,
    &amcacheEntriesSeen, &amcacheEntriesRead, &amcacheValuesMalformed,
};

} // namespace tidewell
