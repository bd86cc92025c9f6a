// What only a UserAssist value records, beside a record's common fields.
#pragma once

#include <cstdint>

#include "core/launch_record.h"

namespace tidewell {

struct UserAssistDetails {
    std::uint32_t focusCount = 0;
    std::uint32_t focusMilliseconds = 0;
    std::uint8_t hasFocus = 0; // the record carries focus figures
    // A path of collected evidence whose folder id the examined machine's
    // registry does not place: the folder's documented default location on
    // that machine stands in.
    std::uint8_t folderAtDefault = 0;
    // Windows XP's 16-byte entry (no focus figures; the count kept from 5),
    // and the kind of launch its name gave (UEME_RUNPATH and the like).
    std::uint8_t windowsXpLayout = 0;
    std::wstring xpLaunchKind;
};

// The details of a UserAssist record, or null for a record of another source.
inline const UserAssistDetails* userAssistDetails(const LaunchRecord& record) {
    return detailsAs<UserAssistDetails>(record);
}
inline UserAssistDetails* userAssistDetails(LaunchRecord& record) {
    return detailsAs<UserAssistDetails>(record);
}

} // namespace tidewell
