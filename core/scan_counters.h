// Every counter of the tally in one table, in the order the report prints
// them: whether it marks a failure, the report's label for it, and the
// status bar's words for it. The tally's failure test, the report's counter
// lines, the status bar and the command-line summary all read this table, so
// a counter cannot be known to one of them and missed by another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "core/launch_record.h"
#include "core/scan_tally.h"

namespace tidewell {

// Which scans count a counter and which CSV reports list it. The CSV report
// of this machine keeps the 29 lines it has always had, so that what reads
// it keeps working; a counter added since is given there only by the JSON
// document, the timeline and the detail texts.
enum class CounterLine : std::uint8_t {
    Always,       // every scan counts it, every report lists it
    Evidence,     // only a scan of collected evidence counts it and lists it
    NotInLiveCsv, // every scan counts it; every report but this machine's CSV lists it
    Image,        // only a scan of a disk image counts it and lists it
    Copies,       // only a scan of an image or a collection, either may hold shadow copies
    Collection,   // only a scan of a Velociraptor collection counts it and lists it
    // A source the machine may not keep: every report lists it but this
    // machine's CSV report of a machine that keeps no such record.
    Source,
};

struct ScanCounter {
    std::uint32_t ScanTally::*member;
    const char* key; // its stable name in machine-readable output
    bool failure;
    const wchar_t* reportLabel;
    // For a failure: its fragment of the status bar, where "%lu" stands for
    // the count, and the fragment's place in the bar (1 first).
    const wchar_t* statusFragment;
    std::uint8_t statusPosition;
    CounterLine line = CounterLine::Always;
    RecordSource source = RecordSource::Prefetch; // whose counter a Source line is
};

inline constexpr ScanCounter scanCounters[] = {
    {&ScanTally::prefetchDirUnreadable, "prefetch_dir_unreadable", true,
     L"PREFETCH DIRECTORY UNREADABLE - no prefetch record was examined",
     L" prefetch directory unreadable;", 1},
    {&ScanTally::userAssistUnreadable, "user_assist_unreadable", true,
     L"USERASSIST UNREADABLE - no shell launch record was examined", L" userassist unreadable;", 2},
    {&ScanTally::prefetchSeen, "prefetch_seen", false, L"prefetch files seen", nullptr, 0},
    {&ScanTally::prefetchParsed, "prefetch_parsed", false, L"prefetch parsed", nullptr, 0},
    {&ScanTally::prefetchUnreadable, "prefetch_unreadable", true, L"prefetch unreadable",
     L" %lu file(s) unreadable;", 3},
    {&ScanTally::prefetchNotPrefetch, "prefetch_not_prefetch", true,
     L"prefetch not a prefetch file", L" %lu not prefetch files;", 7},
    {&ScanTally::prefetchDecompressFailed, "prefetch_decompress_failed", true,
     L"prefetch decompression failed", L" %lu could not be decompressed;", 4},
    {&ScanTally::prefetchMalformed, "prefetch_malformed", true, L"prefetch malformed",
     L" %lu malformed;", 5},
    {&ScanTally::prefetchUnknownVersion, "prefetch_unknown_version", true,
     L"prefetch unknown version", L" %lu unknown format version;", 6},
    {&ScanTally::prefetchRunCountUnverified, "prefetch_run_count_unverified", false,
     L"prefetch run count unverified", nullptr, 0},
    {&ScanTally::prefetchListOutside, "prefetch_list_outside", true,
     L"prefetch file list or volume block outside the file",
     L" %lu with a file list outside the file;", 9},
    {&ScanTally::prefetchPathNotUnique, "prefetch_path_not_unique", false,
     L"prefetch path not unique - several loaded files carry the program's name", nullptr, 0},
    {&ScanTally::prefetchListingStopped, "prefetch_listing_stopped", true,
     L"prefetch directory listing stopped on an error", L" the directory listing stopped early;",
     14},
    {&ScanTally::profileListUnreadable, "profile_list_unreadable", true,
     L"user profile list unreadable - the machine's profile total is not known",
     L" the user profile list could not be read;", 15},
    {&ScanTally::prefetchNonPrefetchSkipped, "prefetch_non_prefetch_skipped", false,
     L"non-prefetch files skipped (expected)", nullptr, 0},
    {&ScanTally::userAssistSeen, "user_assist_seen", false, L"userassist values seen", nullptr, 0},
    {&ScanTally::userAssistParsed, "user_assist_parsed", false, L"userassist parsed", nullptr, 0},
    {&ScanTally::userAssistBookkeepingSkipped, "user_assist_bookkeeping_skipped", false,
     L"userassist bookkeeping skipped (expected)", nullptr, 0},
    {&ScanTally::userAssistWrongSize, "user_assist_wrong_size", true, L"userassist wrong size",
     L" %lu registry entries in an unknown shape;", 8},
    {&ScanTally::userAssistWrongType, "user_assist_wrong_type", true,
     L"userassist wrong registry type", L" %lu of the wrong registry type;", 10},
    {&ScanTally::userAssistTooLarge, "user_assist_too_large", true,
     L"userassist value too large to be an entry", L" %lu too large to be an entry;", 11},
    {&ScanTally::userAssistKeysUnreadable, "user_assist_keys_unreadable", true,
     L"userassist unreadable", L" %lu registry keys unreadable;", 13},
    {&ScanTally::userAssistNoTimestamp, "user_assist_no_timestamp", false,
     L"userassist without a timestamp", nullptr, 0},
    {&ScanTally::userAssistImpossibleDate, "user_assist_impossible_date", true,
     L"userassist timestamp not a possible date", L" %lu with an impossible timestamp;", 12},
    {&ScanTally::userAssistStampOnly, "user_assist_stamp_only", false,
     L"userassist stamped but with no counted launch (a stamp alone is not a launch)", nullptr, 0},
    {&ScanTally::volumesNotIdentified, "volumes_not_identified", false, L"volumes not identified",
     nullptr, 0},
    {&ScanTally::volumesAmbiguous, "volumes_ambiguous", false,
     L"volumes ambiguous - more than one mounted volume has that serial", nullptr, 0},
    {&ScanTally::folderIdsUnresolved, "folder_ids_unresolved", false, L"folder ids unresolved",
     nullptr, 0},
    {&ScanTally::folderIdsOtherUser, "folder_ids_other_user", false,
     L"folder ids belonging to another user, which cannot be resolved from here", nullptr, 0},
    {&ScanTally::hivesMissing, "hives_missing", false,
     L"user hives missing - a listed profile's NTUSER.DAT is not in the evidence", nullptr, 0,
     CounterLine::Evidence},
    {&ScanTally::hivesUnreadable, "hives_unreadable", true, L"user hives unreadable or malformed",
     L" %lu user hive(s) unreadable;", 16, CounterLine::Evidence},
    {&ScanTally::hivesRecovered, "hives_recovered", false,
     L"hives dirty and brought up to date from their transaction logs", nullptr, 0,
     CounterLine::Evidence},
    {&ScanTally::hiveLogEntriesApplied, "hive_log_entries_applied", false,
     L"hive log entries applied", nullptr, 0, CounterLine::Evidence},
    {&ScanTally::hivesStale, "hives_stale", true,
     L"hives dirty with their transaction logs absent or unusable - their data may be stale",
     L" %lu hive(s) dirty without usable logs (data may be stale);", 17, CounterLine::Evidence},
    {&ScanTally::systemHivesUnreadable, "system_hives_unreadable", true,
     L"system hives unreadable - SOFTWARE or SYSTEM could not be read from the evidence",
     L" %lu system hive(s) unreadable;", 18, CounterLine::Evidence},
    {&ScanTally::prefetchRunTimesOutOfOrder, "prefetch_run_times_out_of_order", false,
     L"prefetch run times out of time order - clock set back or file altered", nullptr, 0,
     CounterLine::NotInLiveCsv},
    {&ScanTally::shadowCopiesExamined, "shadow_copies_examined", false,
     L"shadow copies examined - older states of the volume, merged into the records", nullptr, 0,
     CounterLine::Copies},
    {&ScanTally::shadowCopiesUnreadable, "shadow_copies_unreadable", true,
     L"shadow copies unreadable", L" %lu shadow cop(ies) unreadable;", 19, CounterLine::Copies},
    {&ScanTally::shadowCopyFailures, "shadow_copy_failures", true,
     L"read or parse failures inside shadow copies", L" %lu failure(s) inside shadow copies;", 20,
     CounterLine::Copies},
    {&ScanTally::shadowCopyOnlyRecords, "shadow_copy_only_records", false,
     L"records found only in shadow copies (evicted or deleted since)", nullptr, 0,
     CounterLine::Copies},
    {&ScanTally::shadowCopyRunTimesAdded, "shadow_copy_run_times_added", false,
     L"run times added from shadow copies", nullptr, 0, CounterLine::Copies},
    {&ScanTally::deletedPrefetchRead, "deleted_prefetch_read", false,
     L"deleted prefetch files read from the file table", nullptr, 0, CounterLine::Image},
    {&ScanTally::deletedPrefetchUnreadable, "deleted_prefetch_unreadable", false,
     L"deleted prefetch files overwritten or unreadable (expected)", nullptr, 0,
     CounterLine::Image},
    {&ScanTally::imageReadErrors, "image_read_errors", true, L"read errors inside the image",
     L" %lu read error(s) inside the image;", 21, CounterLine::Image},
    {&ScanTally::collectionMembersUnreadable, "collection_members_unreadable", true,
     L"collection members unreadable - damaged or cut short in the zip, or unreadable files",
     L" %lu collection member(s) unreadable;", 34, CounterLine::Collection},
    {&ScanTally::collectionNamesUndecodable, "collection_names_undecodable", false,
     L"names in the collection that do not decode - kept as stored", nullptr, 0,
     CounterLine::Collection},
    {&ScanTally::collectionFilesNotCollected, "collection_files_not_collected", false,
     L"files the collection records as not collected whole (an error or fewer bytes stored)",
     nullptr, 0, CounterLine::Collection},
    {&ScanTally::collectionMetadataUnreadable, "collection_metadata_unreadable", false,
     L"the collection's own files unreadable (client_info.json, collection_context.json, "
     L"uploads.json)",
     nullptr, 0, CounterLine::Collection},
    {&ScanTally::bamKeysUnreadable, "bam_keys_unreadable", true, L"BAM/DAM keys unreadable",
     L" %lu BAM/DAM key(s) unreadable;", 22, CounterLine::Source, RecordSource::Bam},
    {&ScanTally::bamSeen, "bam_seen", false, L"BAM/DAM values seen", nullptr, 0,
     CounterLine::Source, RecordSource::Bam},
    {&ScanTally::bamParsed, "bam_parsed", false, L"BAM/DAM parsed", nullptr, 0, CounterLine::Source,
     RecordSource::Bam},
    {&ScanTally::bamBookkeepingSkipped, "bam_bookkeeping_skipped", false,
     L"BAM/DAM bookkeeping skipped (expected)", nullptr, 0, CounterLine::Source, RecordSource::Bam},
    {&ScanTally::bamUnknownShape, "bam_unknown_shape", true,
     L"BAM/DAM values in an unknown shape (not binary, or shorter than a time)",
     L" %lu BAM/DAM value(s) in an unknown shape;", 23, CounterLine::Source, RecordSource::Bam},
    {&ScanTally::bamNoTime, "bam_no_time", false, L"BAM/DAM values without a time", nullptr, 0,
     CounterLine::Source, RecordSource::Bam},
    {&ScanTally::bamImpossibleDate, "bam_impossible_date", true,
     L"BAM/DAM time not a possible date", L" %lu BAM/DAM time(s) not a possible date;", 24,
     CounterLine::Source, RecordSource::Bam},
    {&ScanTally::compatCacheUnreadable, "compat_cache_unreadable", true,
     L"AppCompatCache value unreadable", L" the AppCompatCache value could not be read;", 25,
     CounterLine::Source, RecordSource::AppCompatCache},
    {&ScanTally::compatCacheEarlierLayout, "compat_cache_earlier_layout", true,
     L"AppCompatCache in a layout before Windows 7 - not read",
     L" the AppCompatCache is in a layout before Windows 7 (not read);", 26, CounterLine::Source,
     RecordSource::AppCompatCache},
    {&ScanTally::compatCacheUnknownLayout, "compat_cache_unknown_layout", true,
     L"AppCompatCache in an unknown layout - not read",
     L" the AppCompatCache is in an unknown layout;", 27, CounterLine::Source,
     RecordSource::AppCompatCache},
    {&ScanTally::compatCacheEntriesRead, "compat_cache_entries_read", false,
     L"AppCompatCache entries read", nullptr, 0, CounterLine::Source, RecordSource::AppCompatCache},
    {&ScanTally::compatCacheEntriesMalformed, "compat_cache_entries_malformed", true,
     L"AppCompatCache entries malformed", L" %lu AppCompatCache entr(ies) malformed;", 28,
     CounterLine::Source, RecordSource::AppCompatCache},
    {&ScanTally::compatCacheWalkStopped, "compat_cache_walk_stopped", true,
     L"AppCompatCache entries past a damaged one not read",
     L" the AppCompatCache could not be read to its end;", 29, CounterLine::Source,
     RecordSource::AppCompatCache},
    {&ScanTally::compatCacheCountDisagrees, "compat_cache_count_disagrees", false,
     L"AppCompatCache header count differs from its entries (normal since Windows 10 1703)",
     nullptr, 0, CounterLine::Source, RecordSource::AppCompatCache},
    {&ScanTally::amcacheUnreadable, "amcache_unreadable", true,
     L"Amcache hive unreadable or malformed", L" the Amcache hive could not be read;", 30,
     CounterLine::Source, RecordSource::Amcache},
    {&ScanTally::amcacheHeldOpen, "amcache_held_open", false,
     L"Amcache hive held open by the running Windows - not read", nullptr, 0, CounterLine::Source,
     RecordSource::Amcache},
    {&ScanTally::amcacheStale, "amcache_stale", true,
     L"Amcache hive dirty with its transaction logs absent or unusable - its data may be stale",
     L" the Amcache hive is dirty without usable logs (data may be stale);", 31,
     CounterLine::Source, RecordSource::Amcache},
    {&ScanTally::amcacheKeysUnreadable, "amcache_keys_unreadable", true, L"Amcache keys unreadable",
     L" %lu Amcache key(s) unreadable;", 32, CounterLine::Source, RecordSource::Amcache},
    {&ScanTally::amcacheEntriesSeen, "amcache_entries_seen", false, L"Amcache entries seen",
     nullptr, 0, CounterLine::Source, RecordSource::Amcache},
    {&ScanTally::amcacheEntriesRead, "amcache_entries_read", false, L"Amcache entries read",
     nullptr, 0, CounterLine::Source, RecordSource::Amcache},
    {&ScanTally::amcacheValuesMalformed, "amcache_values_malformed", true,
     L"Amcache values malformed - withheld", L" %lu Amcache value(s) malformed;", 33,
     CounterLine::Source, RecordSource::Amcache},
};

inline constexpr std::size_t scanCounterCount = std::size(scanCounters);

namespace detail {

// Every member of the tally stands in the table exactly once, and every
// failure, and only a failure, has a place of its own in the status bar.
constexpr bool counterTableIsSound() {
    std::size_t failures = 0;
    for (std::size_t i = 0; i < scanCounterCount; ++i) {
        for (std::size_t j = i + 1; j < scanCounterCount; ++j) {
            if (scanCounters[i].member == scanCounters[j].member ||
                (scanCounters[i].failure &&
                 scanCounters[i].statusPosition == scanCounters[j].statusPosition)) {
                return false;
            }
        }
        const bool hasFragment = scanCounters[i].statusFragment != nullptr;
        if (scanCounters[i].failure != hasFragment ||
            scanCounters[i].failure != (scanCounters[i].statusPosition != 0)) {
            return false;
        }
        failures += scanCounters[i].failure ? 1 : 0;
    }
    for (std::size_t i = 0; i < scanCounterCount; ++i) {
        if (scanCounters[i].statusPosition > failures) {
            return false;
        }
    }
    return true;
}

} // namespace detail

static_assert(scanCounterCount * sizeof(std::uint32_t) == sizeof(ScanTally),
              "every counter of the tally has its line in the table");
static_assert(detail::counterTableIsSound(),
              "each counter once; each failure with its own place in the status bar");

} // namespace tidewell
