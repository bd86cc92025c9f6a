// What SRUM's id map says an id stands for: a program (by path, by a name
// with its link time, a service or a packaged application) or a user (a
// SID), as the program's own text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "srum/srum_details.h"
#include "srum/srum_tables.h"

namespace tidewell {

// A binary SID as text ("S-1-5-21-..."); false for bytes that are not one
// (a revision other than 1, more than 15 sub-authorities, a size that does
// not match).
bool sidText(const std::vector<std::uint8_t>& bytes, std::wstring& text);

// A program as the id map names it.
struct SrumProgram {
    SrumProgramKind kind = SrumProgramKind::NotInIdMap;
    std::wstring recorded; // the entry's text, without its terminating NULs
    std::wstring name;     // the file's name, or the name it is known by
    std::wstring path;     // a path, where the entry is one
    std::wstring package;  // a packaged application's full name
};

SrumProgram srumProgram(const SrumIdEntry* entry);

// The id map by index; an index given twice keeps its first entry.
struct SrumIdMap {
    std::vector<const SrumIdEntry*> sorted;
    const SrumIdEntry* find(std::uint32_t index) const;
};
SrumIdMap srumIdMap(const std::vector<SrumIdEntry>& ids);

} // namespace tidewell
