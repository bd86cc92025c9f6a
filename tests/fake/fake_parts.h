// Each part of the double keeps its own state; resetAll empties them all.
#pragma once

namespace tidewell::fake {

void resetClock();
void resetScreen();
void resetFiles();
void resetOutputFiles();
void resetVolumes();
void resetIdentity();
void resetSystemInfo();
void resetRegistry();

} // namespace tidewell::fake
