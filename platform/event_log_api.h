// The running Windows' own event logs, read through its event-log API
// (wevtapi, part of Windows), which serves the logs the event-log service
// holds open: the events of a log with the identifiers asked for, each
// rendered as the XML the API gives, and what the API says of the whole
// log (its records, the times of its oldest and newest). Only the Windows
// build has it; elsewhere it answers NotThisBuild.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/filetime.h"

namespace tidewell {

enum class LiveLogOutcome : std::uint8_t {
    Read,
    NotPresent,   // no such log on this machine, or no event-log API on this Windows
    Denied,       // the account may not read it
    Failed,       // the API failed otherwise (why says how)
    NotThisBuild, // this build reads no live logs
};

struct LiveLog {
    LiveLogOutcome outcome = LiveLogOutcome::NotThisBuild;
    std::wstring why;
    std::uint64_t records = 0;
    FileTime oldest = 0; // the oldest and newest records' times; 0: not known
    FileTime newest = 0;
    bool full = false;
    std::vector<std::string> events; // each wanted event's XML, UTF-8
    std::uint64_t unrendered = 0;    // wanted events the API could not render
};

// channel: the log's name ("Security", "Microsoft-Windows-Sysmon/Operational").
LiveLog readLiveLog(const wchar_t* channel, std::span<const std::uint32_t> eventIds);

} // namespace tidewell
