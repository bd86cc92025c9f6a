// What the FeatureUsage source counts: every value of the three keys it
// reads, those in no shape a count has, and the keys it could not read.
#pragma once

#include "core/scan_counter.h"

namespace tidewell {

inline constexpr ScanCounter featureUsageKeysUnreadable{
    .key = "feature_usage_keys_unreadable",
    .failure = true,
    .reportLabel = L"FeatureUsage keys or values unreadable",
    .statusFragment = L" %lu FeatureUsage key(s) or value(s) unreadable;",
    .statusPosition = 51,
    .line = CounterLine::Source,
};
inline constexpr ScanCounter featureUsageValuesRead{
    .key = "feature_usage_values_read",
    .reportLabel = L"FeatureUsage counts read",
    .line = CounterLine::Source,
};
inline constexpr ScanCounter featureUsageWrongShape{
    .key = "feature_usage_wrong_shape",
    .failure = true,
    .reportLabel = L"FeatureUsage values that are no count (not shown)",
    .statusFragment = L" %lu FeatureUsage value(s) that are no count;",
    .statusPosition = 52,
    .line = CounterLine::Source,
};

inline constexpr const ScanCounter* featureUsageCounters[] = {
    &featureUsageKeysUnreadable,
    &featureUsageValuesRead,
    &featureUsageWrongShape,
};

} // namespace tidewell
