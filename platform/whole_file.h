// Reading a whole file into memory, in pieces, up to a limit that is
// checked before anything is read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_scope.h"

namespace tidewell {

enum class WholeFileRead {
    Read,
    Missing,    // it could not be opened because it is not there
    TooLarge,   // larger than the limit: refused unread
    Unreadable, // it could not be opened, sized or read in full
    Refused,    // the scope refused it unopened (see FileScope::refused)
    InUse,      // another program holds it open and shares it with no reader
};

WholeFileRead readWholeFileUpTo(const std::wstring& path, std::uint64_t limit,
                                std::vector<std::uint8_t>& bytes);

// The same for a file of a scope, which may refuse it before it is opened.
WholeFileRead readWholeFileUpTo(FileScope& scope, const std::wstring& path, std::uint64_t limit,
                                std::vector<std::uint8_t>& bytes);

} // namespace tidewell
