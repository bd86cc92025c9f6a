// What a scan read: the machine it ran on, or a collected copy of another
// Windows machine's system drive, with every hive file it looked for there
// and every entry it would not read.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/examined_hive.h"
#include "core/launch_record.h"

namespace tidewell {

// An entry of collected evidence that was not read for what it is (a link
// leading out of the evidence, a device, a pipe), and why, in words.
struct RefusedEntry {
    std::wstring path;
    std::wstring why;
};

// What was read of a disk image.
struct ImageOrigin {
    std::wstring path;           // the image file as named
    std::wstring format;         // "raw", "E01", "VHD", "VHDX", "VMDK", "QCOW2"
    std::wstring partitionTable; // "GPT", "MBR"; empty: none, the image is one volume
    std::uint32_t partition = 0; // the volume read, from 1; 0: the whole image
    std::uint64_t offset = 0;    // its first byte in the image
    std::wstring fileSystem;
    std::wstring partitionTableDamage;    // what failed its checks; empty: nothing
    bool shadowCatalogUnreadable = false; // the volume keeps shadow copies that cannot be listed
};

// What was read of a Velociraptor collection, and what it says of itself.
struct CollectionOrigin {
    std::wstring path; // the zip or the folder as named
    bool zip = false;
    std::wstring device;           // the drive read, as the collector named it (C:, \\.\C:)
    std::wstring stored;           // where its files lie in the collection
    std::wstring hostName;         // as the collection records it; empty: not recorded
    std::uint64_t collectedAt = 0; // FILETIME, as it records it; 0: not recorded
    std::vector<std::wstring> metadataUnreadable; // its own files that could not be read
};

// One state of the examined machine a record may be found in: the first is
// the machine as it is, each after it an older copy of it (a shadow copy).
struct MachineCopy {
    std::wstring label;        // "current volume", "shadow copy 2"
    std::uint64_t created = 0; // FILETIME; 0 for the current state
    std::wstring identifier;   // a shadow copy's store GUID
    bool read = false;         // it could be read
};

// Whether the examined machine keeps a source's records at all, and whether
// they could be read. What failed inside a source that was read is counted
// by its own counters.
enum class SourcePresence : std::uint8_t {
    NotLooked, // no scan has looked for it
    Read,
    NotPresent, // the machine keeps no such record (an older Windows, Wine)
    Unreadable, // there, or where it must be, but not read: a failure, counted
    HeldOpen,   // this machine's Windows holds the file open while it runs
};

// "read", "not present", "could not be read", "held open by ...", "not looked
// for".
const wchar_t* sourcePresenceWords(SourcePresence presence);

// A part of a source that keeps its records for a span of time only (an
// event log, whose oldest records are overwritten): what happened before its
// oldest record is not known to it.
struct KeptSpan {
    std::wstring name;        // "Security log"
    std::uint64_t oldest = 0; // FILETIME of its oldest record, over every state read
};

struct SourceReading {
    const RecordSource* source = nullptr;
    SourcePresence presence = SourcePresence::NotLooked;
    std::wstring note; // what was read of it (the layout, the keys), in words
    std::vector<KeptSpan> spans;
};

// Adds a part's span, or reaches an older one back where the part is held.
void keepSpan(std::vector<KeptSpan>& spans, const std::wstring& name, std::uint64_t oldest);

struct ScanOrigin {
    bool evidence = false;
    std::wstring evidenceFolder;       // the folder holding the copied drive's Windows folder
    std::wstring hostName;             // the scanned machine's name, where it is known
    std::vector<ExaminedHive> hives;   // evidence only: every hive file looked for
    std::vector<RefusedEntry> refused; // evidence only
    bool image = false;                // the evidence is a disk image
    ImageOrigin imageRead;
    bool collection = false; // the evidence is a Velociraptor collection
    CollectionOrigin collectionRead;
    // Every state the scan read, the current one first; empty when it read
    // only one (a folder, this machine, an image or a collection without
    // shadow copies).
    std::vector<MachineCopy> copies;
    // Each source the scan reads, in the order of the table of sources, as
    // the scan found it.
    std::vector<SourceReading> sources;
    // How the examined machine named its own paths: its variables
    // (%SystemRoot% and the like, with the values it gave them) and its
    // system drive (C:); empty where not known or not needed (this
    // machine's records carry its paths already expanded).
    std::vector<std::pair<std::wstring, std::wstring>> pathVariables;
    std::wstring systemDrive;
};

// The source's reading; one not yet held is added after the rest.
SourceReading& readingOf(ScanOrigin& origin, const RecordSource& source);
// Not looked for, for a source not held.
SourceReading readingOf(const ScanOrigin& origin, const RecordSource& source);

} // namespace tidewell
