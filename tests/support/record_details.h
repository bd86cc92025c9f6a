// A record's own details, for a test that built or read a record of that
// source: a record of another source fails the test loudly.
#pragma once

#include <variant>

#include "core/launch_record.h"

namespace tidewell::testing {

inline PrefetchDetails& prefetchOf(LaunchRecord& record) {
    return std::get<PrefetchDetails>(record.details);
}
inline const PrefetchDetails& prefetchOf(const LaunchRecord& record) {
    return std::get<PrefetchDetails>(record.details);
}
inline UserAssistDetails& userAssistOf(LaunchRecord& record) {
    return std::get<UserAssistDetails>(record.details);
}
inline const UserAssistDetails& userAssistOf(const LaunchRecord& record) {
    return std::get<UserAssistDetails>(record.details);
}

} // namespace tidewell::testing
