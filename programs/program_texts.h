// What a program's row and detail say, written from its records when they
// are shown: its name and path and how the path was placed, what each
// source holds of it under its own count, who ran it, what its records say
// of the file (its hash, publisher and version), and where they disagree. The builder keeps only
// what is counted, compared and sorted on; the texts of a scan's programs are written for the rows
// shown and the reports written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/launch_record.h"
#include "core/program_list.h"
#include "core/scan_origin.h"

namespace tidewell {

struct ProgramUser {
    std::wstring sid;
    std::wstring name;
};

// A SHA-1 of the file as a record holds it: its hex digits, the source that
// recorded it, and the most bytes it covers from the start (0: all).
struct ProgramHash {
    std::wstring value;
    const RecordSource* source = nullptr;
    std::uint64_t covers = 0;
};

struct ProgramTexts {
    std::wstring name;
    std::wstring path;   // as placed; empty when no record gives one
    std::wstring placed; // how the path was placed, in words
    // Each source's records under that source's own count, never summed:
    // "Ran per" for the sources that prove runs, "Seen by" for the rest.
    std::wstring ranPer;
    std::wstring seenBy;
    std::vector<ProgramUser> users; // who ran it, from records that prove runs
    std::vector<ProgramHash> sha1;  // every SHA-1 recorded, in order of first sight
    std::wstring publisher;
    std::wstring version;
    std::vector<CopyIndex> copies; // the machine states it was found in
    std::wstring contradictions;   // each flag explained, one line each (CR LF)
};

ProgramTexts programTexts(const ProgramList& list, const Program& program,
                          const RecordList& records, const ScanOrigin& origin);

// Its name and path alone, as the list's filter asks of every program.
std::wstring programName(const ProgramList& list, const Program& program,
                         const RecordList& records);
std::wstring programPath(const ProgramList& list, const Program& program,
                         const RecordList& records);

} // namespace tidewell
