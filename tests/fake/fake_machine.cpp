#include "fake/fake_machine.h"

#include "fake/fake_parts.h"

namespace tidewell::fake {

void resetAll() {
    resetClock();
    resetScreen();
    resetFiles();
    resetOutputFiles();
    resetVolumes();
    resetIdentity();
    resetSystemInfo();
    resetRegistry();
}

} // namespace tidewell::fake
