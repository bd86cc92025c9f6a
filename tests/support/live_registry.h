// The UserAssist scan over this machine's registry roots, as the scan driver
// runs it, for tests of the fake machine and of Windows itself.
#pragma once

#include <cstdint>

#include "registry/registry.h"
#include "userassist/profile_list.h"
#include "userassist/userassist_scan.h"

namespace tidewell::testing {

struct LiveRoots {
    RegistryKey machine;
    RegistryKey currentUser;
    RegistryKey users;

    LiveRoots() {
        openRegistryRoot(RegistryRoot::LocalMachine, machine);
        openRegistryRoot(RegistryRoot::CurrentUser, currentUser);
        openRegistryRoot(RegistryRoot::Users, users);
    }
};

inline void scanLiveUserAssist(RecordList& records, ScanTally& tally, ScanFacts& facts) {
    const LiveRoots roots;
    scanUserAssist(UserAssistRegistry{roots.machine, roots.currentUser, roots.users}, records,
                   tally, facts);
}

inline bool countLiveProfiles(std::uint32_t& count, ScanTally& tally) {
    const LiveRoots roots;
    return countProfiles(roots.machine, count, tally);
}

} // namespace tidewell::testing
