// What each corpus UserAssist export holds, counted independently of the
// program from the export's text (ROT13 names, value sizes and stamps), so
// that the readers can be checked against it natively and under Wine.
#pragma once

#include <cstdint>

namespace tidewell::testing {

struct UserAssistExportFacts {
    const char* file;
    std::uint32_t valuesSeen;
    std::uint32_t bookkeeping;
    std::uint32_t parsed;
    std::uint32_t withoutTimestamp; // a stamp of 0 or before 1990
    std::uint32_t folderIds;        // parsed values whose name begins with a braced id
    std::uint32_t perUserFolderIds; // of those, ids of folders inside a profile
};

inline constexpr UserAssistExportFacts userAssistExports[] = {
    {"plaso-NTUSER-CCLEANER.reg", 26, 4, 22, 0, 18, 1},
    {"plaso-NTUSER-WIN7.reg", 92, 4, 88, 26, 53, 7},
    {"plaso-NTUSER-XP.reg", 16, 16, 0, 0, 0, 0},
    {"plaso-regf-NTUSER-WIN8.reg", 15, 4, 11, 4, 2, 1},
    {"regipy-NTUSER.reg", 33, 4, 29, 2, 19, 3},
};

} // namespace tidewell::testing
