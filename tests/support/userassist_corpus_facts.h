// What each corpus UserAssist export holds, counted independently of the
// program from the export's text (ROT13 names, value sizes and stamps), so
// that the readers can be checked against it natively and under Wine.
#pragma once

#include <cstdint>

namespace tidewell::testing {

struct UserAssistExportFacts {
    const char* file;
    const char* hive; // the hive file it was exported from, below the corpus's hives/
    std::uint32_t valuesSeen;
    std::uint32_t bookkeeping;
    std::uint32_t parsed;
    std::uint32_t withoutTimestamp; // a stamp of 0 or before 1990
    std::uint32_t folderIds;        // parsed values whose name begins with a braced id
    std::uint32_t perUserFolderIds; // of those, ids of folders inside a profile
};

inline constexpr UserAssistExportFacts userAssistExports[] = {
    {"plaso-NTUSER-CCLEANER.reg", "plaso/NTUSER-CCLEANER.DAT", 26, 4, 22, 0, 18, 1},
    {"plaso-NTUSER-WIN7.reg", "plaso/NTUSER-WIN7.DAT", 92, 4, 88, 26, 53, 7},
    // Windows XP: two session values, a counter and two sums per kind of
    // launch are bookkeeping; seven launches name the Programs folder by CSIDL.
    {"plaso-NTUSER-XP.reg", "plaso/NTUSER.DAT", 16, 5, 11, 0, 7, 7},
    {"plaso-regf-NTUSER-WIN8.reg", "plaso/regf/NTUSER.DAT", 15, 4, 11, 4, 2, 1},
    {"regipy-NTUSER.reg", "regipy/NTUSER.DAT", 33, 4, 29, 2, 19, 3},
};

} // namespace tidewell::testing
