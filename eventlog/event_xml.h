// An event as Windows renders it in XML, the one form both ways of reading
// a log give: the event-log API renders a live log's events so, and libevtx
// a log file's. Only what a process start needs is kept: a few members of
// System and every named item of EventData. The text comes from the
// examined machine: it is read with every bound checked, and whatever is
// not understood is passed over, never trusted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/filetime.h"

namespace tidewell {

struct EventXml {
    std::string provider; // System/Provider's Name
    std::uint32_t eventId = 0;
    bool eventIdRead = false;
    std::uint32_t version = 0;
    std::uint64_t recordId = 0;
    bool recordIdRead = false;
    FileTime timeCreated = 0; // System/TimeCreated's SystemTime; 0: missing or not a time
    std::string channel;
    std::string computer;
    std::string securityUserId; // System/Security's UserID: the account that logged it
    // EventData's Data items by their Name, their text with entities decoded.
    std::vector<std::pair<std::string, std::string>> data;

    // The item of that name, or null where the event has none.
    const std::string* item(std::string_view name) const;
};

// False where the text holds no Event element (or is cut inside one).
bool parseEventXml(std::string_view xml, EventXml& event);


} // namespace tidewell
