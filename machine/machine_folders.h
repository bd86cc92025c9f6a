// Where the known-folder ids of a hive lead on a machine that is not the one
// the program runs on, as the examined machine's own registry says (this
// machine's shell knows nothing of them).
#pragma once

#include <string>
#include <vector>

namespace tidewell {

// Where one folder id led.
struct KnownFolderPlace {
    std::wstring id; // braced
    std::wstring path;
    // The examined machine's registry does not record it: this is the
    // folder's documented default location on that machine.
    bool documentedDefault = false;
};

struct FolderTable {
    std::vector<KnownFolderPlace> folders;
};

} // namespace tidewell
