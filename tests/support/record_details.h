// A record's own details, for a test that built or read a record of that
// source: a record of another source fails the test loudly.
#pragma once

#include <any>

#include "prefetch/prefetch_details.h"
#include "userassist/userassist_details.h"

namespace tidewell::testing {

inline PrefetchDetails& prefetchOf(LaunchRecord& record) {
    return std::any_cast<PrefetchDetails&>(record.details);
}
inline const PrefetchDetails& prefetchOf(const LaunchRecord& record) {
    return std::any_cast<const PrefetchDetails&>(record.details);
}
inline UserAssistDetails& userAssistOf(LaunchRecord& record) {
    return std::any_cast<UserAssistDetails&>(record.details);
}
inline const UserAssistDetails& userAssistOf(const LaunchRecord& record) {
    return std::any_cast<const UserAssistDetails&>(record.details);
}

} // namespace tidewell::testing
