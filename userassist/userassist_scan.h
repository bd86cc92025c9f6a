// The UserAssist half of a scan: the running account's own hive, then every
// other user hive that is loaded, and how much of the machine's profiles
// that covers.
#pragma once

#include "core/launch_record.h"
#include "core/scan_facts.h"
#include "core/scan_tally.h"
#include "registry/registry.h"

namespace tidewell {

// Where a scan finds the hives: the machine's root (for the profile list),
// the running account's own hive, and the root under which the other loaded
// hives stand, one key per hive named by its SID.
struct UserAssistRegistry {
    const RegistryKey& machine;
    const RegistryKey& currentUser;
    const RegistryKey& users;
};

// Appends every readable UserAssist record and fills the four coverage facts.
void scanUserAssist(const UserAssistRegistry& registry, RecordList& records, ScanTally& tally,
                    ScanFacts& facts);

} // namespace tidewell
