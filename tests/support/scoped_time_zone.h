// Sets the process's time zone (TZ) for one test and puts the old one back.
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace tidewell::testing {

struct ScopedTimeZone {
    std::string previous;
    bool hadPrevious = false;

    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            previous = old;
            hadPrevious = true;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;
    ~ScopedTimeZone() {
        if (hadPrevious) {
            setenv("TZ", previous.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
};

} // namespace tidewell::testing
