// Facts about the running system and process.
#pragma once

#include <cstdint>
#include <string>

namespace tidewell {

// Whether the program runs on a live Windows machine that it can scan (a
// native build elsewhere reads only collected evidence).
bool runsOnWindows();

// This machine's name (its NetBIOS name on Windows); false when it cannot be had.
bool queryComputerName(std::wstring& name);

// Whether the process token reports elevation; false when it cannot be asked.
bool queryProcessElevation(bool& elevated);

// The Windows version as RtlGetVersion reports it; false when it cannot.
bool queryWindowsVersion(std::uint32_t& major, std::uint32_t& minor);

} // namespace tidewell
