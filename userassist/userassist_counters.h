// What the UserAssist source counts: one outcome for every value it met in
// a UserAssist key (bookkeeping skipped, of the wrong type, too large, of
// the wrong size, or parsed), what it found doubtful in the values it read,
// and the keys it could not read. Its counters stand among the report's
// shared lines, in the places the report has always given them.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter userAssistUnreadable{
    .key = "user_assist_unreadable",
    .failure = true,
    .reportLabel = L"USERASSIST UNREADABLE - no shell launch record was examined",
    .statusFragment = L" userassist unreadable;",
    .statusPosition = 2,
    .place = 2,
};
inline constexpr ScanCounter userAssistSeen{
    .key = "user_assist_seen",
    .reportLabel = L"userassist values seen",
    .place = 16,
};
inline constexpr ScanCounter userAssistParsed{
    .key = "user_assist_parsed",
    .reportLabel = L"userassist parsed",
    .place = 17,
};
inline constexpr ScanCounter userAssistBookkeepingSkipped{
    .key = "user_assist_bookkeeping_skipped",
    .reportLabel = L"userassist bookkeeping skipped (expected)",
    .place = 18,
};
inline constexpr ScanCounter userAssistWrongSize{
    .key = "user_assist_wrong_size",
    .failure = true,
    .reportLabel = L"userassist wrong size",
    .statusFragment = L" %lu registry entries in an unknown shape;",
    .statusPosition = 8,
    .place = 19,
};
inline constexpr ScanCounter userAssistWrongType{
    .key = "user_assist_wrong_type",
    .failure = true,
    .reportLabel = L"userassist wrong registry type",
    .statusFragment = L" %lu of the wrong registry type;",
    .statusPosition = 10,
    .place = 20,
};
inline constexpr ScanCounter userAssistTooLarge{
    .key = "user_assist_too_large",
    .failure = true,
    .reportLabel = L"userassist value too large to be an entry",
    .statusFragment = L" %lu too large to be an entry;",
    .statusPosition = 11,
    .place = 21,
};
inline constexpr ScanCounter userAssistKeysUnreadable{
    .key = "user_assist_keys_unreadable",
    .failure = true,
    .reportLabel = L"userassist unreadable",
    .statusFragment = L" %lu registry keys unreadable;",
    .statusPosition = 13,
    .place = 22,
};
inline constexpr ScanCounter userAssistNoTimestamp{
    .key = "user_assist_no_timestamp",
    .reportLabel = L"userassist without a timestamp",
    .place = 23,
};
inline constexpr ScanCounter userAssistImpossibleDate{
    .key = "user_assist_impossible_date",
    .failure = true,
    .reportLabel = L"userassist timestamp not a possible date",
    .statusFragment = L" %lu with an impossible timestamp;",
    .statusPosition = 12,
    .place = 24,
};
inline constexpr ScanCounter userAssistStampOnly{
    .key = "user_assist_stamp_only",
    .reportLabel = L"userassist stamped but with no counted launch (a stamp alone is not a launch)",
    .place = 25,
};
// The folder ids of the values' paths, where they could not be placed.
inline constexpr ScanCounter folderIdsUnresolved{
    .key = "folder_ids_unresolved",
    .reportLabel = L"folder ids unresolved",
    .place = 28,
};
inline constexpr ScanCounter folderIdsOtherUser{
    .key = "folder_ids_other_user",
    .reportLabel = L"folder ids belonging to another user, which cannot be resolved from here",
    .place = 29,
};

// Windows XP starts each entry's count at 5: a stored count below it is no
// count Windows wrote, and is withheld.
inline constexpr ScanCounter userAssistXpCountBelowStart{
    .key = "user_assist_xp_count_below_start",
    .failure = true,
    .reportLabel = L"userassist Windows XP counts below their starting value (withheld)",
    .statusFragment = L" %lu Windows XP UserAssist count(s) below 5;",
    .statusPosition = 50,
    .line = CounterLine::NotInLiveCsv,
    .place = 52,
};

inline constexpr const ScanCounter* userAssistCounters[] = {
    &userAssistUnreadable,  &userAssistSeen,
    &userAssistParsed,      &userAssistBookkeepingSkipped,
    &userAssistWrongSize,   &userAssistWrongType,
    &userAssistTooLarge,    &userAssistKeysUnreadable,
    &userAssistNoTimestamp, &userAssistImpossibleDate,
    &userAssistStampOnly,   &folderIdsUnresolved,
    &folderIdsOtherUser,    &userAssistXpCountBelowStart,
};

} // namespace tidewell
