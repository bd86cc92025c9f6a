// What marks a drive as a copy of a Windows system drive: its Windows
// folder holds the registry's folder (System32\config) or the folder where
// Windows keeps the files it writes for each program it starts. An image's
// volumes and a collection's devices are told apart by them, and the
// messages that list volumes or devices name them.
#pragma once

namespace tidewell {

// Below the Windows folder, each part separated by a backslash.
inline constexpr const wchar_t* windowsDriveMarkers[] = {L"System32\\config", L"Prefetch"};

inline constexpr wchar_t windowsDriveMarkersText[] =
    L"Windows\\System32\\config or Windows\\Prefetch";
inline constexpr wchar_t noWindowsDriveMarkersText[] =
    L"neither Windows\\System32\\config nor Windows\\Prefetch";

} // namespace tidewell
