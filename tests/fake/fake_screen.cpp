// The screen's DPI, as a test sets it.
#include "fake/fake_machine.h"
#include "fake/fake_parts.h"
#include "platform/screen.h"

namespace tidewell {

namespace {

int screenDpi = 0;

} // namespace

int queryScreenDpi() {
    return screenDpi;
}

namespace fake {

void setScreenDpi(int dpi) {
    screenDpi = dpi;
}

void resetScreen() {
    screenDpi = 0;
}

} // namespace fake

} // namespace tidewell
