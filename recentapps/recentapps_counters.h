// What the RecentApps source counts: the programs it read, those without
// an id, launch times that are no possible date, and what it could not
// read.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter recentAppsUnreadable{
    .key = "recent_apps_unreadable",
    .failure = true,
    .reportLabel = L"RecentApps keys or values unreadable",
    .statusFragment = L" %lu RecentApps key(s) or value(s) unreadable;",
    .statusPosition = 58,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter recentAppsRead{
    .key = "recent_apps_read",
    .reportLabel = L"RecentApps programs read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter recentAppsWithoutId{
    .key = "recent_apps_without_id",
    .failure = true,
    .reportLabel = L"RecentApps programs without an id or path (not shown)",
    .statusFragment = L" %lu RecentApps program(s) without an id;",
    .statusPosition = 59,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter recentAppsImpossibleDate{
    .key = "recent_apps_impossible_date",
    .failure = true,
    .reportLabel = L"RecentApps times not a possible date (withheld)",
    .statusFragment = L" %lu RecentApps time(s) not a possible date;",
    .statusPosition = 60,
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* recentAppsCounters[] = {
    &recentAppsUnreadable,
    &recentAppsRead,
    &recentAppsWithoutId,
    &recentAppsImpossibleDate,
};

} // namespace tidewell
