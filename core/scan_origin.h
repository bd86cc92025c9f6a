// What a scan read: the machine it ran on, or a collected copy of another
// Windows machine's system drive, with every hive file it looked for there
// and every entry it would not read.
#pragma once

#include <string>
#include <vector>

#include "core/examined_hive.h"

namespace tidewell {

// An entry of collected evidence that was not read for what it is (a link
// leading out of the evidence, a device, a pipe), and why, in words.
struct RefusedEntry {
    std::wstring path;
    std::wstring why;
};

struct ScanOrigin {
    bool evidence = false;
    std::wstring evidenceFolder;       // the folder holding the copied drive's Windows folder
    std::wstring hostName;             // the scanned machine's name, where it is known
    std::vector<ExaminedHive> hives;   // evidence only: every hive file looked for
    std::vector<RefusedEntry> refused; // evidence only
};

} // namespace tidewell
