// The stand-in backend's shared state; only the stand-in's own files see it.
#pragma once

#include "platform/filetime.h"

namespace tidewell::standin {

struct StandinState {
    bool fixedClock = false;
    FileTime fixedNow = 0;
    bool localTimeFails = false;
    int screenDpi = 0;
};

StandinState& state();

} // namespace tidewell::standin
