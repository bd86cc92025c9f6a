// No screen is asked here: lengths stay at 96 DPI.
#include "platform/screen.h"

namespace tidewell {

int queryScreenDpi() {
    return 0;
}

} // namespace tidewell
