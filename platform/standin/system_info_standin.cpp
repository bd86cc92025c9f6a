#include "platform/system_info.h"

#include "platform/standin/standin_state.h"

namespace tidewell {

bool queryProcessElevation(bool& elevated) {
    elevated = false;
    if (!standin::state().elevated) {
        return false;
    }
    elevated = *standin::state().elevated;
    return true;
}

bool queryWindowsVersion(std::uint32_t& major, std::uint32_t& minor) {
    if (!standin::state().windowsVersion) {
        return false;
    }
    major = standin::state().windowsVersion->first;
    minor = standin::state().windowsVersion->second;
    return true;
}

} // namespace tidewell
