// What a scan read: the machine it ran on, or a collected copy of another
// Windows machine's system drive.
#pragma once

#include <string>

namespace tidewell {

struct ScanOrigin {
    bool evidence = false;
    std::wstring evidenceFolder; // the folder holding the copied drive's Windows folder
    std::wstring hostName;       // the scanned machine's name, where it is known
};

} // namespace tidewell
