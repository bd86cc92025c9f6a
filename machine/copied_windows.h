// A copy of a Windows drive, however its files are read (a folder, an
// image's volume, a collection's device): its Windows folder, its SYSTEM and
// SOFTWARE hives read from their files with their logs, and the answers its
// own registry gives of the machine. The kinds that read a copy share these.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/scan_results.h"
#include "machine/examined_machine.h"
#include "machine/user_hives.h"
#include "machine/volume_devices.h"

namespace tidewell {

// The copy of a drive below root: its Windows folder, its system hives (each
// counted, and listed in the origin), the machine's name and what its
// registry records of itself.
void readCopiedWindows(ExaminedMachine& machine, const std::wstring& root, ScanResults& results);

std::wstring copiedWindowsEntry(ExaminedMachine& machine, std::wstring_view relative,
                                EntryKind kind);
std::wstring copiedAccountName(const ExaminedMachine& machine, const std::wstring& sid);
PathNaming copiedPathNaming(const ExaminedMachine& machine);
std::wstring copiedSystemDrive(const ExaminedMachine& machine);
// A copy proves no device's drive: its registry names volumes by disk and
// partition, never by the kernel's numbering.
std::vector<DeviceDrive> copiedDeviceDrives(const ExaminedMachine& machine);
bool copiedWindowsVersion(const ExaminedMachine& machine, std::uint32_t& major,
                          std::uint32_t& minor);
void copiedWithoutSystemKeys(const ExaminedMachine& machine, SourceReading& reading,
                             ScanTally& tally, const ScanCounter& unreadable);
// The NTUSER.DAT of every profile the copy's profile list names (or, with no
// readable list, of every user folder), each read with its logs and counted.
UserHiveVisit visitCopiedUserHives(ExaminedMachine& machine, ScanResults& results,
                                   const std::function<void(const UserHive&)>& visit);

} // namespace tidewell
