// The clock: the host's, or fixed at a moment a test chose.
#include "fake/fake_machine.h"
#include "fake/fake_parts.h"
#include "platform/posix/posix_host.h"
#include "platform/system_clock.h"

namespace tidewell {

namespace {

struct ClockState {
    bool fixed = false;
    FileTime now = 0;
    bool localTimeFails = false;
};

ClockState& clock() {
    static ClockState state;
    return state;
}

} // namespace

FileTime currentSystemFileTime() {
    return clock().fixed ? clock().now : posix::hostNow();
}

bool fileTimeToLocalCalendar(FileTime utc, LocalCalendar& local) {
    return !clock().localTimeFails && posix::hostLocalCalendar(utc, local);
}

namespace fake {

void setFixedNow(FileTime now) {
    clock().fixed = true;
    clock().now = now;
}

void useRealClock() {
    clock().fixed = false;
}

void setLocalTimeFails(bool fails) {
    clock().localTimeFails = fails;
}

void resetClock() {
    clock() = ClockState{};
}

} // namespace fake

} // namespace tidewell
