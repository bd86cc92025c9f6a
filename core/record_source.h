// What a source of records is: everything the rest of the program knows of
// it, in one plain table of its own that the source defines in its folder.
// Every view (the list, the detail window, the CSV report, the JSON document,
// the timeline) writes a record's common fields itself and asks the record's
// source for the rest; the coverage texts ask each source how to speak of
// it; the tally and the facts hold its counters and facts. Adding a source
// adds such a table, not a branch to every view. The scan's table of sources
// (scan/source_table.cpp) lists them and says how each is read.
#pragma once

#include <any>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/launch_record.h"
#include "core/program_list.h"
#include "core/scan_counter.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"

namespace tidewell {

// Declared where they are defined (platform/timestamp_format.h,
// platform/json_text.h); a description only passes them on.
enum class TimeBasis;
struct JsonWriter;

// The most sources a table may hold: the View toggles are kept per source.
inline constexpr std::size_t maxRecordSources = 32;

// What the detail text needs to know of the scan the record came from.
struct DetailContext {
    // The SID of the account running the program, which decides whether an
    // unresolved folder id belongs to another account.
    std::wstring runningSid;
    // The record came from collected evidence: its paths are the examined
    // machine's, its account names the names of profile folders.
    bool evidence = false;
    TimeBasis times{}; // local time unless said
    // Every state of the machine the scan read (the current one, then its
    // shadow copies), which a record's copies name; null when it read one.
    const std::vector<MachineCopy>* copies = nullptr;
};

// The detail text's line end, and where continuation lines of an
// explanation start: under the values, after 19 characters of labels.
inline constexpr wchar_t detailLineEnd[] = L"\r\n";
inline constexpr wchar_t detailUnder[] = L"\r\n                   ";

// The CSV report's columns that only some sources fill; empty for the others.
struct SourceCells {
    std::wstring focusCount;
    std::wstring focusSeconds;
    std::wstring formatVersion;
    std::wstring hash;
    std::wstring referencedFiles;
};

// The source's own parts of the detail text, each placed where the text has
// room for it; every part is text ending in CR LF where it holds lines.
struct SourceDetailParts {
    std::wstring pathExplanation; // after the path status, on its line
    std::wstring afterPath;       // notes under the path
    std::wstring afterRunCount;   // notes under the run count
    std::wstring fields;          // the source's own labelled lines
    std::wstring runTimesTitle;   // after "Recorded run times"
    std::wstring afterRunTimes;   // notes and lists under the run times
};

// A time of a record that is not a run (a file's modification time, when an
// entry was last written), under its own name.
struct NamedTime {
    const char* key;        // its member in the JSON document
    const wchar_t* label;   // the detail text's label, padded to the values' column
    const wchar_t* meaning; // a timeline event's timestamp_desc
    std::uint64_t time = 0; // FILETIME
};

// How the banner and the report speak of a source.
struct SourceCoverage {
    const wchar_t* reportLabel = nullptr; // its presence line in the report header
    const wchar_t* bannerName = nullptr;  // its name in a sentence of the banner
    // Not every Windows keeps it: whether the machine does is stated (the
    // report's presence line, before the source's own counters; the banner's
    // list of what is not present), and what it can show only once it was
    // read. Every Windows keeps the others, and they are always spoken of.
    bool mayBeAbsent = false;
    // Where its caution stands among the sources' (lowest first), where it
    // must stand apart from the order of the table (the report and the banner
    // have always given two of them in an order of their own); a tie keeps
    // the order of the table.
    std::uint8_t cautionPlace = 255;
    // Lines of the report header (without "# ", null-terminated) and a
    // sentence of the banner on what a record of it is and is not.
    const wchar_t* const* reportCaution = nullptr;
    const wchar_t* bannerCaution = nullptr;
    // Said of this machine's records only, where the running Windows keeps
    // the source in a way that leaves its latest records out.
    const wchar_t* liveNote = nullptr;
    // The banner's first sentence when the source could not be read at all,
    // for this machine and for collected evidence; null: it is only listed
    // among what could not be read.
    const wchar_t* unreadSentence = nullptr;
    const wchar_t* unreadSentenceEvidence = nullptr;
    // A warning that stands first in the banner when the source was read
    // (empty: none), such as a machine that keeps no such records now.
    std::wstring (*warning)(const ScanFacts& facts, bool evidence) = nullptr;
    // Said after the span of surviving records, such as how many the machine
    // keeps; empty: nothing.
    std::wstring (*spanNote)(const ScanFacts& facts) = nullptr;
};

// What a record says that ties it to its program beyond its path, as its
// source reads it; empty where the record says nothing of the kind. The
// texts are views of the record's own fields and details, valid while the
// record is.
struct JoinFacts {
    // The program's path as the kernel named it (\Device\HarddiskVolume3\...),
    // which a Prefetch file's name hashes.
    std::wstring_view devicePath;
    // The record is a Prefetch file: the hash its name carries and its
    // format version, which says which hash function made it.
    bool prefetchFile = false;
    std::uint32_t prefetchHash = 0;
    std::uint32_t prefetchVersion = 0;
    // A packaged application's name in any form Windows writes it (family
    // name, full name, application id).
    std::wstring_view package;
    // What the record says of the file itself; its SHA-1 covers at most
    // sha1Covers bytes from the start (0: the whole file).
    std::wstring_view sha1;
    std::uint64_t sha1Covers = 0;
    std::wstring_view publisher;
    std::wstring_view version;
    std::uint64_t fileModified = 0;  // FILETIME; 0 when not recorded
    std::uint64_t volumeCreated = 0; // the creation of the volume the file lies on
};

struct RecordSource {
    // Its row in the table of sources, from 0: it orders the Source column
    // and numbers the View toggles.
    std::uint16_t number = 0;
    const wchar_t* word;           // the Source column, the report, the JSON "source"
    const wchar_t* described;      // the detail window's Source line
    const wchar_t* runTimeMeaning; // a timeline event's timestamp_desc for a run time
    const wchar_t* viewMenuText;   // the View menu's toggle, with its access key
    // The source counts runs (the Run count column applies), and its times
    // are runs (the Last run column applies). A source whose times mean
    // something else gives them as named times instead.
    bool countsRuns;
    bool timesAreRuns;
    // What a record of it proves of its program (recordProves, where the
    // source's records differ in it).
    Proves proves;
    SourceCoverage coverage;
    std::span<const ScanCounter* const> counters; // all of its own, in the order it lists them
    std::span<const ScanFact* const> facts;       // what it states of the machine
    std::any (*newDetails)();                     // its details, empty
    void (*namedTimes)(const LaunchRecord& record, std::vector<NamedTime>& times);
    void (*cells)(const LaunchRecord& record, SourceCells& cells);
    std::wstring (*listDetail)(const LaunchRecord& record); // the list's Detail column
    void (*detailParts)(const LaunchRecord& record, const DetailContext& context,
                        SourceDetailParts& parts);
    // The source's members of a record in the JSON document, and of an event
    // of the timeline; with a null record, the same members as a record of
    // another source has them (null where they do not apply).
    void (*jsonMembers)(JsonWriter& json, const LaunchRecord* record);
    void (*eventMembers)(JsonWriter& json, const LaunchRecord* record);
    // What ran, from where, for whom, as one sentence of a timeline event
    // (onHost is " on HOST" or empty, fromWhere " from PATH (status)"); index
    // is the run time's, or for a source whose times are not runs the named
    // time's.
    std::wstring (*eventMessage)(const LaunchRecord& record, std::size_t run,
                                 const std::wstring& onHost, const std::wstring& fromWhere);
    // What makes two records of older and newer states of a machine the same
    // program's: records with equal keys are merged into one.
    std::wstring (*mergeKey)(const LaunchRecord& record);
    // What ties a record to its program beyond its path; null: nothing.
    void (*joinFacts)(const LaunchRecord& record, JoinFacts& facts);
    // The record's own count under its own name ("11 runs", "position 4"),
    // which a program's row shows beside the source's word; appended.
    void (*countWords)(const LaunchRecord& record, std::wstring& text);
    // Where each record is one event (a start), a program's row speaks of
    // its records of the source together ("12 starts"); null: one by one.
    void (*countTogether)(std::size_t records, std::wstring& text) = nullptr;
    // What this record proves, where not every record of the source proves
    // the same; null: the source's proves.
    Proves (*recordProves)(const LaunchRecord& record) = nullptr;
};

// What the record proves of its program.
inline Proves provesOf(const LaunchRecord& record) {
    return record.source->recordProves != nullptr ? record.source->recordProves(record)
                                                  : record.source->proves;
}

} // namespace tidewell
