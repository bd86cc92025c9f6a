// One launch found by a source. Records are built whole by their source,
// appended to the scan's collection and never changed afterwards. Every
// record has the same common fields, which the list, the report, the JSON
// document and the timeline read alike; what only one source records stands
// in that source's own details, which only the source itself reads (its
// description, core/record_source.h, shows them).
#pragma once

#include <any>
#include <cstdint>
#include <string>
#include <vector>

namespace tidewell {

// What a source is and how its records are shown (core/record_source.h).
struct RecordSource;

// How the record's path was established. Values above NoPathRecorded are
// treated as NoPathRecorded wherever they are shown.
enum class PathStatus : std::uint32_t {
    Resolved = 0,
    VolumeNotIdentified = 1,
    FolderIdUnresolved = 2,
    SeveralPossiblePaths = 3,
    NoPathRecorded = 4,
};

// A state of the machine by its place in the scan origin's copies (0: as it
// is). Wide enough for every shadow copy a volume could list.
using CopyIndex = std::uint32_t;

struct LaunchRecord {
    const RecordSource* source = nullptr; // the source that read it; never null once made
    std::wstring name;
    std::wstring path;
    PathStatus pathStatus = PathStatus::NoPathRecorded;
    std::uint32_t runCount = 0;
    std::uint8_t runCountKnown = 0;
    // FILETIME values, never 0; as the source orders them. Runs, where the
    // source's times are runs; a source whose times are not keeps here only
    // times of one meaning (its runTimeMeaning), which are gathered across
    // copies as runs are and never taken for runs, and the rest in its details.
    std::vector<std::uint64_t> runTimes;
    std::wstring userSid; // whose record it is, where the source says
    std::wstring userName;
    std::wstring recordFile; // the file the record was read from, where it was a file of its own
    // The states of the machine the record was found in, by their index in
    // the scan origin's copies (0: as it is), and for each run time the state
    // it was found in; both empty when the scan read one state only.
    std::vector<CopyIndex> copies;
    std::vector<CopyIndex> runTimeCopies;
    // The source's own details: a value of the type its source declares.
    std::any details;
};

// The one collection of records of the current scan.
using RecordList = std::vector<LaunchRecord>;

// A fresh record of a source, its details empty.
LaunchRecord makeRecord(const RecordSource& source);

// The details of a record whose source keeps them as Details, or null for a
// record of another source.
template <typename Details> const Details* detailsAs(const LaunchRecord& record) {
    return std::any_cast<Details>(&record.details);
}
template <typename Details> Details* detailsAs(LaunchRecord& record) {
    return std::any_cast<Details>(&record.details);
}

} // namespace tidewell
