// Elevation from the process token, and the true Windows version from ntdll
// (GetVersionEx answers what the manifest claims compatibility with).
#include "platform/system_info.h"

#include "platform/win32/win32_common.h"

namespace tidewell {

namespace {

struct VersionRecord {
    ULONG size;
    ULONG major;
    ULONG minor;
    ULONG build;
    ULONG platform;
    WCHAR servicePack[128];
};
static_assert(sizeof(VersionRecord) == 276, "RTL_OSVERSIONINFOW is 276 bytes");

using GetVersionFn = LONG(WINAPI*)(VersionRecord*);

} // namespace

bool runsOnWindows() {
    return true;
}

bool queryComputerName(std::wstring& name) {
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(buffer, &length)) {
        return false;
    }
    name.assign(buffer, length);
    return true;
}

bool queryProcessElevation(bool& elevated) {
    elevated = false;
    win32::OwnedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token.handle)) {
        return false;
    }
    TOKEN_ELEVATION elevation{};
    DWORD returned = 0;
    if (!GetTokenInformation(token.handle, TokenElevation, &elevation, sizeof elevation,
                             &returned)) {
        return false;
    }
    elevated = elevation.TokenIsElevated != 0;
    return true;
}

bool queryWindowsVersion(std::uint32_t& major, std::uint32_t& minor) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) {
        return false;
    }
    const auto getVersion = reinterpret_cast<GetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (getVersion == nullptr) {
        return false;
    }
    VersionRecord version{};
    version.size = sizeof version;
    if (getVersion(&version) != 0) {
        return false;
    }
    major = version.major;
    minor = version.minor;
    return true;
}

} // namespace tidewell
