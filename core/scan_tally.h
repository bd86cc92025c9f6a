// What a scan saw, parsed, skipped and failed to read: one counter per outcome,
// so that every file and value examined can be accounted for. The table in
// scan_counters.h says which counters are failures and how each is named.
#pragma once

#include <cstdint>

namespace tidewell {

struct ScanTally {
    std::uint32_t prefetchDirUnreadable = 0;
    std::uint32_t userAssistUnreadable = 0;
    std::uint32_t prefetchSeen = 0;
    std::uint32_t prefetchParsed = 0;
    std::uint32_t prefetchUnreadable = 0;
    std::uint32_t prefetchNotPrefetch = 0;
    std::uint32_t prefetchDecompressFailed = 0;
    std::uint32_t prefetchMalformed = 0;
    std::uint32_t prefetchUnknownVersion = 0;
    std::uint32_t prefetchNonPrefetchSkipped = 0;
    std::uint32_t prefetchListOutside = 0;
    std::uint32_t prefetchPathNotUnique = 0;
    std::uint32_t prefetchListingStopped = 0;
    std::uint32_t prefetchRunCountUnverified = 0;
    std::uint32_t userAssistKeysUnreadable = 0;
    std::uint32_t userAssistSeen = 0;
    std::uint32_t userAssistParsed = 0;
    std::uint32_t userAssistWrongSize = 0;
    std::uint32_t userAssistBookkeepingSkipped = 0;
    std::uint32_t userAssistNoTimestamp = 0;
    std::uint32_t userAssistStampOnly = 0;
    std::uint32_t userAssistWrongType = 0;
    std::uint32_t userAssistTooLarge = 0;
    std::uint32_t userAssistImpossibleDate = 0;
    std::uint32_t volumesNotIdentified = 0;
    std::uint32_t volumesAmbiguous = 0;
    std::uint32_t folderIdsUnresolved = 0;
    std::uint32_t folderIdsOtherUser = 0;
    std::uint32_t profileListUnreadable = 0;
    // Counted only when the scan reads collected evidence, not this machine.
    std::uint32_t hivesMissing = 0;
    std::uint32_t hivesUnreadable = 0;
    std::uint32_t hivesRecovered = 0;
    std::uint32_t hiveLogEntriesApplied = 0;
    std::uint32_t hivesStale = 0;
    std::uint32_t systemHivesUnreadable = 0;
    // Prefetch files whose run times do not stand newest first.
    std::uint32_t prefetchRunTimesOutOfOrder = 0;
    // Counted only when the scan reads a disk image (the shadow copies' also
    // when it reads a collection).
    std::uint32_t shadowCopiesExamined = 0;
    std::uint32_t shadowCopiesUnreadable = 0;
    std::uint32_t shadowCopyFailures = 0; // failures counted while reading shadow copies
    std::uint32_t shadowCopyOnlyRecords = 0;
    std::uint32_t shadowCopyRunTimesAdded = 0;
    std::uint32_t deletedPrefetchRead = 0;
    std::uint32_t deletedPrefetchUnreadable = 0;
    std::uint32_t imageReadErrors = 0;
    // Counted only when the scan reads a Velociraptor collection.
    std::uint32_t collectionMembersUnreadable = 0;
    std::uint32_t collectionNamesUndecodable = 0;
    std::uint32_t collectionFilesNotCollected = 0;
    std::uint32_t collectionMetadataUnreadable = 0;
    // The Background and Desktop Activity Moderators.
    std::uint32_t bamKeysUnreadable = 0;
    std::uint32_t bamSeen = 0;
    std::uint32_t bamParsed = 0;
    std::uint32_t bamBookkeepingSkipped = 0;
    std::uint32_t bamUnknownShape = 0;
    std::uint32_t bamNoTime = 0;
    std::uint32_t bamImpossibleDate = 0;
    // The application compatibility cache.
    std::uint32_t compatCacheUnreadable = 0;
    std::uint32_t compatCacheEarlierLayout = 0;
    std::uint32_t compatCacheUnknownLayout = 0;
    std::uint32_t compatCacheEntriesRead = 0;
    std::uint32_t compatCacheEntriesMalformed = 0;
    std::uint32_t compatCacheWalkStopped = 0;
    std::uint32_t compatCacheCountDisagrees = 0;
    // Amcache.
    std::uint32_t amcacheUnreadable = 0;
    std::uint32_t amcacheHeldOpen = 0;
    std::uint32_t amcacheStale = 0;
    std::uint32_t amcacheKeysUnreadable = 0;
    std::uint32_t amcacheEntriesSeen = 0;
    std::uint32_t amcacheEntriesRead = 0;
    std::uint32_t amcacheValuesMalformed = 0;
};

// True when any failure counter is non-zero: something could not be read or
// parsed. The other counters count what was seen, parsed or expectedly
// skipped, and gaps that are not failures (an unverified count, an
// unidentified volume).
bool hasFailure(const ScanTally& tally);

} // namespace tidewell
