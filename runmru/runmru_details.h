// What only a RunMRU value records, beside a record's common fields.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"

namespace tidewell {

struct RunMruDetails {
    std::wstring letter;          // the value's name (a, b, ...)
    std::wstring recorded;        // its data as written, "\1" and all
    std::uint32_t position = 0;   // in MRUList from 1 (newest); 0: not placed
    std::uint32_t listed = 0;     // how many commands MRUList orders
    std::uint64_t keyWritten = 0; // the key's last writing; 0: not known
};

inline const RunMruDetails* runMruDetails(const LaunchRecord& record) {
    return detailsAs<RunMruDetails>(record);
}
inline RunMruDetails* runMruDetails(LaunchRecord& record) {
    return detailsAs<RunMruDetails>(record);
}

} // namespace tidewell
