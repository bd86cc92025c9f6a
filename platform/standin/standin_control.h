// Controls of the stand-in backend, which serves where Windows is absent.
// Tests (and, later, an offline reader of a disk image) set the machine the
// program believes it runs on, and inject the failures the scan must count.
#pragma once

#include "platform/filetime.h"

namespace tidewell::standin {

// Clock: fixed at a given FILETIME, or (the default) the host's real clock.
void setFixedNow(FileTime now);
void useRealClock();

// Local-time conversion fails for every value while set.
void setLocalTimeFails(bool fails);

// The DPI the screen reports; 0 (the default) means no screen can be asked.
void setScreenDpi(int dpi);

// Puts every control above back to its default.
void resetAll();

} // namespace tidewell::standin
