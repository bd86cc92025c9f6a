#include "platform/standin/standin_control.h"

#include "platform/standin/standin_state.h"

namespace tidewell::standin {

StandinState& state() {
    static StandinState current;
    return current;
}

void setFixedNow(FileTime now) {
    state().fixedClock = true;
    state().fixedNow = now;
}

void useRealClock() { state().fixedClock = false; }

void setLocalTimeFails(bool fails) { state().localTimeFails = fails; }

void setScreenDpi(int dpi) { state().screenDpi = dpi; }

void resetAll() { state() = StandinState{}; }

} // namespace tidewell::standin
