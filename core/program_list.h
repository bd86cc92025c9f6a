// The programs of a scan: every record belongs to exactly one program, the
// file (or packaged application) it names on the examined machine. Records
// join only where that is proven: the same path once written alike, a
// device path that hashes to a program's Prefetch file, or the same package
// family; any other record is a program of its own, with the reason.
// Nothing here resolves what records say against each other: where they
// disagree, the program carries a flag and says so.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

struct RecordSource;

// What a record of a source proves of its program: that it was started
// (a recorded run), or only that Windows saw the file.
enum class Proves : std::uint8_t {
    Ran,
    Present,
    Interacted, // the user used the program while it ran (switched to it, opened its jump list)
};

// "ran", "present", "interacted".
const wchar_t* provesWord(Proves proves);

// How a record came into its program. The first three join; the rest leave
// the record a program of its own, for the reason they name.
enum class RecordJoin : std::uint8_t {
    ByPath,         // its path, written alike, names the program's file
    ByPrefetchHash, // its device path hashes to the program's Prefetch file
    ByPackage,      // it names the program's package family
    NoPathRecorded,
    VolumeNotIdentified,
    FolderNotPlaced,
    SeveralCandidates,
};
inline constexpr std::size_t notJoinedReasons = 4;

// True for the ways of joining, false for the reasons a record stands alone.
bool joins(RecordJoin join);
// "path", "Prefetch hash", "package family", "no path recorded", "volume not
// identified", "known folder not placed", "several candidates".
const wchar_t* recordJoinWords(RecordJoin join);

// What records of one program say against each other, each a bit of a
// program's flags. Said, never resolved.
enum Contradiction : std::uint32_t {
    contradictionSha1 = 1u << 0,            // two SHA-1 values for one path: the file was replaced
    contradictionModified = 1u << 1,        // two sources hold different modification times
    contradictionPresentOnly = 1u << 2,     // seen by Windows, never recorded running
    contradictionAfterCollection = 1u << 3, // a run later than the collection was made
    contradictionBeforeVolume = 1u << 4,    // a run earlier than its volume was created
};
inline constexpr std::size_t contradictionKinds = 5;

// The contradiction's key in machine-readable output and its words.
const char* contradictionKey(std::size_t kind);
const wchar_t* contradictionWords(std::size_t kind);

// A range of one of a program list's vectors.
struct ItemRange {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

// A kernel volume device shown to be one drive of the examined machine: a
// device path recorded for a program hashes to the name of a Prefetch file
// whose own path lies on that drive.
struct VolumeProof {
    std::wstring device;            // \DEVICE\HARDDISKVOLUME3, in capitals
    std::wstring drive;             // C:
    std::size_t prefetchRecord = 0; // the record of the Prefetch file that proved it
};

// How a record came to name its program's file.
enum class Placement : std::uint8_t {
    None,
    AsRecorded,   // its path as recorded
    Package,      // its package family (via: into placedTexts)
    PrefetchHash, // its device path hashes to a Prefetch file (via: that record)
    ProvenVolume, // its device path on a proven volume (via: into volumes)
};

struct RecordPlacement {
    Placement placement = Placement::None;
    std::uint32_t via = 0;
    std::uint32_t text = 0; // a path put on its drive or a family name: into placedTexts
};

inline constexpr std::uint32_t noRecord = 0xFFFFFFFFu;

// A program as its records make it: what is counted, compared and sorted
// on is held here; its texts are written when they are shown
// (programs/program_texts.h), from its records.
struct Program {
    std::uint32_t id = 0; // from 1, in the order of its first record
    // Its records (indexes into the scan's records, in their order) and
    // how each joined: a range of the list's members.
    ItemRange records;
    std::uint32_t pathRecord = noRecord;   // the record whose path it shows
    std::uint32_t placedRecord = noRecord; // the record that says how it was placed
    // The first and last run recorded by a source that proves runs; 0 and
    // null when none did.
    std::uint64_t firstRun = 0;
    std::uint64_t lastRun = 0;
    const RecordSource* firstRunSource = nullptr;
    const RecordSource* lastRunSource = nullptr;
    std::uint32_t flags = 0; // Contradiction bits
};

struct ProgramCounts {
    std::uint64_t programs = 0;
    std::uint64_t recordsJoined = 0; // records that share their program with another
    std::array<std::uint64_t, notJoinedReasons> notJoined{}; // by reason, in RecordJoin order
    std::uint64_t volumesProven = 0;
    std::array<std::uint64_t, contradictionKinds> contradictions{}; // programs, by kind
};

struct ProgramList {
    std::vector<Program> programs;
    std::vector<std::uint32_t> programOfRecord; // each record's program, as an index
    std::vector<VolumeProof> volumes;
    ProgramCounts counts;

    // Each program's records stand together here, in record order.
    std::vector<std::size_t> memberRecords;
    std::vector<RecordJoin> memberJoins; // beside memberRecords
    // Each record's placement, by the record's index.
    std::vector<RecordPlacement> placements;
    std::vector<std::wstring> placedTexts;

    std::span<const std::size_t> recordsOf(const Program& program) const {
        return rangeOf(memberRecords, program.records);
    }
    std::span<const RecordJoin> joinsOf(const Program& program) const {
        return rangeOf(memberJoins, program.records);
    }

private:
    template <typename Item>
    static std::span<const Item> rangeOf(const std::vector<Item>& items, ItemRange range) {
        if (range.first + static_cast<std::size_t>(range.count) > items.size()) {
            return {};
        }
        return std::span<const Item>(items.data() + range.first, range.count);
    }
};

// One named count of a program list, for the outputs that list them all.
struct ProgramCountLine {
    const char* key;      // its name in machine-readable output
    const wchar_t* label; // its report line
    std::uint64_t value;
};
std::vector<ProgramCountLine> programCountLines(const ProgramCounts& counts);

} // namespace tidewell
