// What only a SRUM record holds, beside a record's common fields: what the
// database recorded of one program for one user, summed over every hour it
// holds. Its hours in use (the ends of the hours with processor cycles) are
// the record's times.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"
#include "srum/srum_tables.h"

namespace tidewell {

// How the id map named the program.
enum class SrumProgramKind : std::uint8_t {
    Path,       // a file's path (a drive's or the kernel's \Device\... form)
    HostedName, // !!svchost.exe!...: a program named with its link time and size
    Service,    // a service's name
    Package,    // a packaged application
    Named,      // any other name the database gave it
    NotInIdMap, // its id is missing from the id map
};

struct SrumDetails {
    SrumProgramKind kind = SrumProgramKind::Named;
    std::wstring recordedId; // the id map's text for the program, as recorded
    std::uint32_t appId = 0;
    std::uint32_t userId = 0;
    std::uint8_t userInIdMap = 0;
    std::uint32_t usageRows = 0;
    std::uint32_t networkRows = 0;
    std::uint32_t interfaces = 0; // distinct network interfaces it used
    SrumFigures totals;           // summed, each at most 2^64 - 1
    // The figures the database has columns for (a bit per figure, by its
    // place in srumFigures); the others are not recorded, not 0.
    std::uint16_t figuresRecorded = 0;
};

// The details of a SRUM record, or null for a record of another source.
inline const SrumDetails* srumDetails(const LaunchRecord& record) {
    return detailsAs<SrumDetails>(record);
}
inline SrumDetails* srumDetails(LaunchRecord& record) {
    return detailsAs<SrumDetails>(record);
}

} // namespace tidewell
