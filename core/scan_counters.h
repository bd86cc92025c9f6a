// The scan's own counters: what it met opening the examined machine rather
// than inside one source (the profile list, the hive files of collected
// evidence, a disk image and its shadow copies, a Velociraptor collection).
// Each source declares its own counters in its own folder.
#pragma once

#include <cstddef>
#include <iterator>

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter profileListUnreadable{
    .key = "profile_list_unreadable",
    .failure = true,
    .reportLabel = L"user profile list unreadable - the machine's profile total is not known",
    .statusFragment = L" the user profile list could not be read;",
    .statusPosition = 15,
    .place = 14,
};

// Counted only when the scan reads collected evidence, not this machine.
inline constexpr ScanCounter hivesMissing{
    .key = "hives_missing",
    .reportLabel = L"user hives missing - a listed profile's NTUSER.DAT is not in the evidence",
    .line = CounterLine::Evidence,
    .place = 30,
};
inline constexpr ScanCounter hivesUnreadable{
    .key = "hives_unreadable",
    .failure = true,
    .reportLabel = L"user hives unreadable or malformed",
    .statusFragment = L" %lu user hive(s) unreadable;",
    .statusPosition = 16,
    .line = CounterLine::Evidence,
    .place = 31,
};
inline constexpr ScanCounter hivesRecovered{
    .key = "hives_recovered",
    .reportLabel = L"hives dirty and brought up to date from their transaction logs",
    .line = CounterLine::Evidence,
    .place = 32,
};
inline constexpr ScanCounter hiveLogEntriesApplied{
    .key = "hive_log_entries_applied",
    .reportLabel = L"hive log entries applied",
    .line = CounterLine::Evidence,
    .place = 33,
};
inline constexpr ScanCounter hivesStale{
    .key = "hives_stale",
    .failure = true,
    .reportLabel =
        L"hives dirty with their transaction logs absent or unusable - their data may be stale",
    .statusFragment = L" %lu hive(s) dirty without usable logs (data may be stale);",
    .statusPosition = 17,
    .line = CounterLine::Evidence,
    .place = 34,
};
inline constexpr ScanCounter systemHivesUnreadable{
    .key = "system_hives_unreadable",
    .failure = true,
    .reportLabel =
        L"system hives unreadable - SOFTWARE or SYSTEM could not be read from the evidence",
    .statusFragment = L" %lu system hive(s) unreadable;",
    .statusPosition = 18,
    .line = CounterLine::Evidence,
    .place = 35,
};

// Counted only when the scan reads a disk image (the shadow copies' also
// when it reads a collection).
inline constexpr ScanCounter shadowCopiesExamined{
    .key = "shadow_copies_examined",
    .reportLabel = L"shadow copies examined - older states of the volume, merged into the records",
    .line = CounterLine::Copies,
    .place = 37,
};
inline constexpr ScanCounter shadowCopiesUnreadable{
    .key = "shadow_copies_unreadable",
    .failure = true,
    .reportLabel = L"shadow copies unreadable",
    .statusFragment = L" %lu shadow cop(ies) unreadable;",
    .statusPosition = 19,
    .line = CounterLine::Copies,
    .place = 38,
};
// Failures counted while reading shadow copies, whichever counter counted them.
inline constexpr ScanCounter shadowCopyFailures{
    .key = "shadow_copy_failures",
    .failure = true,
    .reportLabel = L"read or parse failures inside shadow copies",
    .statusFragment = L" %lu failure(s) inside shadow copies;",
    .statusPosition = 20,
    .line = CounterLine::Copies,
    .place = 39,
};
inline constexpr ScanCounter shadowCopyOnlyRecords{
    .key = "shadow_copy_only_records",
    .reportLabel = L"records found only in shadow copies (evicted or deleted since)",
    .line = CounterLine::Copies,
    .place = 40,
};
inline constexpr ScanCounter shadowCopyRunTimesAdded{
    .key = "shadow_copy_run_times_added",
    .reportLabel = L"run times added from shadow copies",
    .line = CounterLine::Copies,
    .place = 41,
};
inline constexpr ScanCounter imageReadErrors{
    .key = "image_read_errors",
    .failure = true,
    .reportLabel = L"read errors inside the image",
    .statusFragment = L" %lu read error(s) inside the image;",
    .statusPosition = 21,
    .line = CounterLine::Image,
    .place = 44,
};

// Counted only when the scan reads a Velociraptor collection.
inline constexpr ScanCounter collectionMembersUnreadable{
    .key = "collection_members_unreadable",
    .failure = true,
    .reportLabel =
        L"collection members unreadable - damaged or cut short in the zip, or unreadable files",
    .statusFragment = L" %lu collection member(s) unreadable;",
    .statusPosition = 34,
    .line = CounterLine::Collection,
    .place = 45,
};
inline constexpr ScanCounter collectionNamesUndecodable{
    .key = "collection_names_undecodable",
    .reportLabel = L"names in the collection that do not decode - kept as stored",
    .line = CounterLine::Collection,
    .place = 46,
};
inline constexpr ScanCounter collectionFilesNotCollected{
    .key = "collection_files_not_collected",
    .failure = true, // what the collector could not take is a gap in the picture
    .reportLabel =
        L"files the collection records as not collected whole (an error or fewer bytes stored)",
    .statusFragment = L" %lu file(s) the collection did not collect whole;",
    .statusPosition = 35,
    .line = CounterLine::Collection,
    .place = 47,
};
inline constexpr ScanCounter collectionMetadataUnreadable{
    .key = "collection_metadata_unreadable",
    .reportLabel = L"the collection's own files unreadable (client_info.json, "
                   L"collection_context.json, uploads.json)",
    .line = CounterLine::Collection,
    .place = 48,
};

inline constexpr ScanCounter collectionMembersPassedOver{
    .key = "collection_members_passed_over",
    .failure = true,
    .reportLabel = L"collection members not read - a second member of the same name (the larger, "
                   L"else the first, read), a file named where a folder is, or a member whose "
                   L"data is another's",
    .statusFragment = L" %lu collection member(s) not read;",
    .statusPosition = 36,
    .line = CounterLine::Collection,
    .place = 49,
};

// Windows keeps at most 512 shadow copies of a volume; a catalog that lists
// more is read as far as that, the newest first, and the rest counted.
inline constexpr std::size_t shadowCopiesReadAtMost = 512;
inline constexpr ScanCounter shadowCopiesLeft{
    .key = "shadow_copies_left",
    .failure = true,
    .reportLabel = L"shadow copies not read - past the 512 newest, the most Windows keeps",
    .statusFragment = L" %lu shadow cop(ies) past the 512 newest not read;",
    .statusPosition = 37,
    .line = CounterLine::Copies,
    .place = 50,
};

inline constexpr ScanCounter imageRecordsMended{
    .key = "image_system_records_mended",
    .failure = true, // the volume itself is damaged, however well it then read
    .reportLabel = L"system file records of the volume damaged - taken from their mirror, or "
                   L"their sectors' sequence numbers restored, to open the volume",
    .statusFragment = L" %lu damaged system file record(s) mended;",
    .statusPosition = 38,
    .line = CounterLine::Image,
    .place = 51,
};

inline constexpr const ScanCounter* scanOwnCounters[] = {
    &profileListUnreadable,
    &hivesMissing,
    &hivesUnreadable,
    &hivesRecovered,
    &hiveLogEntriesApplied,
    &hivesStale,
    &systemHivesUnreadable,
    &shadowCopiesExamined,
    &shadowCopiesUnreadable,
    &shadowCopyFailures,
    &shadowCopyOnlyRecords,
    &shadowCopyRunTimesAdded,
    &imageReadErrors,
    &collectionMembersUnreadable,
    &collectionNamesUndecodable,
    &collectionFilesNotCollected,
    &collectionMetadataUnreadable,
    &collectionMembersPassedOver,
    &shadowCopiesLeft,
    &imageRecordsMended,
};

} // namespace tidewell
