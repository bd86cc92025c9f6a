// This system is not Windows: there is no token to ask and no Windows version.
#include <unistd.h>

#include "platform/system_info.h"
#include "platform/utf8_codec.h"

namespace tidewell {

bool runsOnWindows() {
    return false;
}

bool queryComputerName(std::wstring& name) {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        return false;
    }
    name = fromUtf8(host);
    return true;
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
