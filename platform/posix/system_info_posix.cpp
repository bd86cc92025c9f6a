// This system is not Windows: there is no token to ask and no Windows version.
#include <unistd.h>

#include "platform/system_info.h"

namespace tidewell {

bool runsOnWindows() {
    return false;
}

bool queryProcessElevation(bool& elevated) {
    // An administrator here is root, which is what an examiner needs to read
    // files another account collected.
    elevated = geteuid() == 0;
    return true;
}

bool queryWindowsVersion(std::uint32_t&, std::uint32_t&) {
    return false;
}

} // namespace tidewell
