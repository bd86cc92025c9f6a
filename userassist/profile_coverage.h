// The UserAssist half of a scan: the running account's hive, then every
// other user hive that is loaded, and how much of the machine's profiles
// that covers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/launch_record.h"
#include "core/scan_facts.h"
#include "core/scan_tally.h"

namespace tidewell {

// Whether a registry key name names a user profile: a local or domain
// account ("S-1-5-21") or a Microsoft Entra ID account ("S-1-12-1").
bool isProfileName(const std::wstring& name);

// Counts the profiles in the machine's profile list; true when the list was
// read in full. listed (when given) receives their names.
bool countProfiles(std::uint32_t& count, ScanTally& tally,
                   std::vector<std::wstring>* listed = nullptr);

// The textual SID the process runs as, or empty text.
std::wstring currentUserSid();

// Appends every readable UserAssist record and fills the four coverage facts.
void scanUserAssist(RecordList& records, ScanTally& tally, ScanFacts& facts);

} // namespace tidewell
