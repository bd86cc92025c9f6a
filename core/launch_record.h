// One launch found by a source. Records are built whole by their source,
// appended to the scan's collection and never changed afterwards. Every
// record has the same common fields, which the list, the report, the JSON
// document and the timeline read alike; what only one source records stands
// in that source's own details, which only the source's own description
// (core/record_view.h) reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tidewell {

// Which record a row came from; the index of its details and of its row in
// the table of sources.
enum class RecordSource : std::uint32_t {
    Prefetch = 0,
    UserAssist = 1,
    Bam = 2,            // the Background and Desktop Activity Moderators
    AppCompatCache = 3, // the application compatibility cache
    Amcache = 4,
};
inline constexpr std::size_t recordSourceCount = 5;

// How the record's path was established. Values above NoPathRecorded are
// treated as NoPathRecorded wherever they are shown.
enum class PathStatus : std::uint32_t {
    Resolved = 0,
    VolumeNotIdentified = 1,
    FolderIdUnresolved = 2,
    SeveralPossiblePaths = 3,
    NoPathRecorded = 4,
};

// One volume a Prefetch file names: the device path the kernel knew it by
// (\DEVICE\HARDDISKVOLUME2 on Windows XP to 8.1, \VOLUME{...} later), and
// its creation time and serial number.
struct PrefetchVolume {
    std::wstring devicePath;
    std::uint64_t created = 0; // FILETIME; 0 when not recorded
    std::uint32_t serial = 0;
};

// What only a Prefetch file records.
struct PrefetchDetails {
    // The executable name has 29 or more characters: it may be the front of a
    // longer name cut by the 60-byte name field.
    std::uint8_t nameTruncated = 0;
    // The run times do not stand newest first, as Windows writes them (the
    // clock was set back between runs, or the file was altered).
    std::uint8_t runTimesOutOfOrder = 0;
    // Read from a deleted file that an image's file table still lists.
    std::uint8_t deletedFile = 0;
    std::uint32_t pathHash = 0;
    std::uint32_t formatVersion = 0;
    std::vector<std::wstring> referencedFiles; // in file order
    std::uint64_t volumeCreated = 0;           // the first volume's; 0 without a usable block
    std::uint32_t volumeSerial = 0;
    std::uint32_t volumeCount = 0;
    std::vector<PrefetchVolume> volumes; // every entry of the volume block that could be read
    // The program's own path as the file records it (Windows 10 and later): a
    // kernel device path, or a packaged app's package full name; empty when
    // the file records none.
    std::wstring recordedPath;
};

// What only a UserAssist value records.
struct UserAssistDetails {
    std::uint32_t focusCount = 0;
    std::uint32_t focusMilliseconds = 0;
    std::uint8_t hasFocus = 0; // the record carries focus figures
    // A path of collected evidence whose folder id the examined machine's
    // registry does not place: the folder's documented default location on
    // that machine stands in.
    std::uint8_t folderAtDefault = 0;
};

// What only a BAM or DAM value records.
struct BamDetails {
    std::uint8_t desktopModerator = 0;    // from dam rather than bam
    std::uint8_t packagedApplication = 0; // named after a packaged application, not a file
    std::wstring recordedName;            // the value's name as Windows wrote it
};

// What only an entry of the application compatibility cache records. Its
// time is the file's modification time as the cache holds it, not a run.
struct AppCompatCacheDetails {
    std::uint32_t position = 0; // in the cache, from 1, the newest first
    std::uint64_t modified = 0; // FILETIME; 0 when the entry holds none
    std::uint8_t hasFlags = 0;  // Windows 7 and 8 entries carry two words of flags
    std::uint32_t insertionFlags = 0;
    std::uint32_t shimFlags = 0;
    std::vector<std::uint8_t> entryData; // the entry's own data, as recorded
    std::wstring recordedPath;           // the path as the entry holds it
    std::wstring package;                // the packaged application it belongs to, if any
    std::wstring layout;                 // the Windows whose layout the cache has
};

// What only an Amcache entry records: that Windows inventoried the file, and
// when it last wrote the entry; not each run.
struct AmcacheDetails {
    std::uint8_t inventoryLayout = 0; // Root\InventoryApplicationFile rather than Root\File
    std::wstring entryKey;            // the entry's key below Root
    std::uint64_t lastWritten = 0;    // FILETIME of the entry's key
    std::wstring sha1;                // 40 hex digits; empty when not recorded
    std::wstring publisher;
    std::wstring version;
    std::wstring productName;
    std::wstring programId;
    std::wstring linkDate;      // the PE link date as recorded (the new layout's text)
    std::uint64_t linkTime = 0; // FILETIME of the PE link date; 0 when not known
    std::uint64_t modified = 0; // the file's modification time (the old layout)
    std::uint64_t created = 0;  // the file's creation time (the old layout)
    std::uint64_t fileSize = 0;
    std::uint8_t fileSizeKnown = 0;
};

// One alternative per source, in the order of RecordSource.
using RecordDetails = std::variant<PrefetchDetails, UserAssistDetails, BamDetails,
                                   AppCompatCacheDetails, AmcacheDetails>;
static_assert(std::variant_size_v<RecordDetails> == recordSourceCount,
              "one kind of details for every source");

struct LaunchRecord {
    RecordSource source = RecordSource::Prefetch;
    std::wstring name;
    std::wstring path;
    PathStatus pathStatus = PathStatus::NoPathRecorded;
    std::uint32_t runCount = 0;
    std::uint8_t runCountKnown = 0;
    // FILETIME values, never 0; as the source orders them. Only times that are
    // runs: a source whose times mean something else keeps them in its details.
    std::vector<std::uint64_t> runTimes;
    std::wstring userSid; // whose record it is, where the source says
    std::wstring userName;
    std::wstring recordFile; // the file the record was read from, where it was a file of its own
    // The states of the machine the record was found in, by their index in
    // the scan origin's copies (0: as it is), and for each run time the state
    // it was found in; both empty when the scan read one state only.
    std::vector<std::uint16_t> copies;
    std::vector<std::uint16_t> runTimeCopies;
    RecordDetails details;
};

// The one collection of records of the current scan.
using RecordList = std::vector<LaunchRecord>;

// A fresh record of a source, its details empty.
LaunchRecord makeRecord(RecordSource source);

// The details of a record of that source, or null for a record of another.
inline const PrefetchDetails* prefetchDetails(const LaunchRecord& record) {
    return std::get_if<PrefetchDetails>(&record.details);
}
inline PrefetchDetails* prefetchDetails(LaunchRecord& record) {
    return std::get_if<PrefetchDetails>(&record.details);
}
inline const UserAssistDetails* userAssistDetails(const LaunchRecord& record) {
    return std::get_if<UserAssistDetails>(&record.details);
}
inline UserAssistDetails* userAssistDetails(LaunchRecord& record) {
    return std::get_if<UserAssistDetails>(&record.details);
}
inline const BamDetails* bamDetails(const LaunchRecord& record) {
    return std::get_if<BamDetails>(&record.details);
}
inline BamDetails* bamDetails(LaunchRecord& record) {
    return std::get_if<BamDetails>(&record.details);
}
inline const AppCompatCacheDetails* appCompatCacheDetails(const LaunchRecord& record) {
    return std::get_if<AppCompatCacheDetails>(&record.details);
}
inline AppCompatCacheDetails* appCompatCacheDetails(LaunchRecord& record) {
    return std::get_if<AppCompatCacheDetails>(&record.details);
}
inline const AmcacheDetails* amcacheDetails(const LaunchRecord& record) {
    return std::get_if<AmcacheDetails>(&record.details);
}
inline AmcacheDetails* amcacheDetails(LaunchRecord& record) {
    return std::get_if<AmcacheDetails>(&record.details);
}

} // namespace tidewell
