// The process token's elevation and the Windows version, as a test sets them.
#include "platform/system_info.h"

#include <optional>
#include <utility>

#include "fake/fake_machine.h"
#include "fake/fake_parts.h"

namespace tidewell {

namespace {

struct SystemState {
    bool windows = true;          // the double stands in for a Windows machine
    std::optional<bool> elevated; // nothing: the token cannot be asked
    std::optional<std::pair<std::uint32_t, std::uint32_t>> windowsVersion;
};

SystemState& system() {
    static SystemState state;
    return state;
}

} // namespace

bool runsOnWindows() {
    return system().windows;
}

bool queryComputerName(std::wstring& name) {
    name = L"FAKE-HOST"; // a stand-in machine's name, the same in every test
    return true;
}

bool queryProcessElevation(bool& elevated) {
    elevated = system().elevated.value_or(false);
    return system().elevated.has_value();
}

bool queryWindowsVersion(std::uint32_t& major, std::uint32_t& minor) {
    if (!system().windowsVersion) {
        return false;
    }
    major = system().windowsVersion->first;
    minor = system().windowsVersion->second;
    return true;
}

namespace fake {

void setElevated(bool elevated) {
    system().elevated = elevated;
}

void setRunsOnWindows(bool windows) {
    system().windows = windows;
}

void setWindowsVersion(std::uint32_t major, std::uint32_t minor) {
    system().windowsVersion = std::make_pair(major, minor);
}

void resetSystemInfo() {
    system() = SystemState{};
}

} // namespace fake

} // namespace tidewell
