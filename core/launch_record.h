// One launch found in either source. Records are built whole by their source,
// appended to the scan's collection and never changed afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidewell {

// Which record a row came from. Any value but Prefetch is shown as UserAssist.
enum class RecordSource : std::uint32_t {
    Prefetch = 0,
    UserAssist = 1,
};

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

struct LaunchRecord {
    RecordSource source = RecordSource::Prefetch;
    std::wstring name;
    std::wstring path;
    PathStatus pathStatus = PathStatus::NoPathRecorded;
    std::uint8_t nameTruncated = 0;
    std::uint32_t runCount = 0;
    std::uint8_t runCountKnown = 0;
    std::vector<std::uint64_t> runTimes; // FILETIME values, never 0
    // Prefetch: the run times do not stand newest first, as Windows writes
    // them (the clock was set back between runs, or the file was altered).
    std::uint8_t runTimesOutOfOrder = 0;
    std::uint32_t pathHash = 0;
    std::uint32_t formatVersion = 0;
    std::wstring recordFile;
    std::vector<std::wstring> referencedFiles;
    std::uint64_t volumeCreated = 0;
    std::uint32_t volumeSerial = 0;
    std::uint32_t volumeCount = 0;
    std::vector<PrefetchVolume> volumes; // every entry of the volume block that could be read
    // The program's own path as the file records it (Windows 10 and later): a
    // kernel device path, or a packaged app's package full name; empty when
    // the file records none.
    std::wstring recordedPath;
    std::wstring userSid;
    std::wstring userName;
    std::uint32_t focusCount = 0;
    std::uint32_t focusMilliseconds = 0;
    std::uint8_t hasFocus = 0;
    // A UserAssist path of collected evidence whose folder id the examined
    // machine's registry does not place: the folder's documented default
    // location on that machine stands in.
    std::uint8_t folderAtDefault = 0;
};

// The one collection of records of the current scan.
using RecordList = std::vector<LaunchRecord>;

} // namespace tidewell
