// Lengths given at 96 DPI, scaled to the screen's pixels.
#pragma once

namespace tidewell {

// number × numerator / denominator, rounded half away from zero, as the
// Windows MulDiv rounds; -1 for a zero denominator or a result that does not
// fit in 32 bits.
int mulDiv(int number, int numerator, int denominator);

// The DPI in use: read from the screen on first use and kept for the run;
// 96 when the screen cannot be asked or answers below 1.
int currentDpi();

// Replaces the DPI in use (the window moved to a monitor of another DPI).
void setCurrentDpi(int dpi);

// Forgets the DPI in use, so that the next use asks the screen again.
void forgetCurrentDpi();

// A length at 96 DPI in, pixels out.
int scaleForDpi(int length);

} // namespace tidewell
