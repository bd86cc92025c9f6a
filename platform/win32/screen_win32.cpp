// The screen's logical DPI through gdi32.
#include "platform/screen.h"

#include "platform/win32/win32_common.h"

namespace tidewell {

int queryScreenDpi() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return 0;
    }
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

} // namespace tidewell
