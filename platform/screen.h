// The screen's horizontal logical DPI, as the platform reports it.
#pragma once

namespace tidewell {

// 0 when the screen cannot be asked.
int queryScreenDpi();

} // namespace tidewell
