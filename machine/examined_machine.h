// The machine a scan examines, and the one way every source reads from it:
// its files, its SYSTEM and SOFTWARE keys, its users' hives, how paths on
// its volumes are named, and what it says of itself. One plain value whose
// kind (machine_kind.h) answers each question its own way:
//
//   this machine    the Windows machine the program runs on: its own files
//                   and live registry, its mounted volumes.
//   a folder        a copy of another machine's system drive (on either
//                   system): only files inside the folder are read, its
//                   hives from their files with their logs.
//   a disk image    an image of another machine's disk (Linux): its Windows
//                   volume read through the image's own file system, as a
//                   folder's copy is read, and each of its shadow copies as
//                   an older state of the same machine.
//   a collection    a Velociraptor collection, zipped or extracted (Linux):
//                   the drive that holds Windows read as a folder's copy is,
//                   and each shadow-copy device collected as an older state.
//
// What the target names is opened once per scan: the survey that says
// whether it can be read at all is the scan's own.
#pragma once

#include <any>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/scan_results.h"
#include "machine/collected_drive.h"
#include "machine/hive_file.h"
#include "machine/machine_kind.h"
#include "machine/machine_registry.h"
#include "platform/file_scope.h"
#include "registry/registry.h"

namespace tidewell {

// An older state of the machine the scan can read after its current one.
struct OlderState {
    std::wstring label;        // "shadow copy 2"
    std::uint64_t created = 0; // FILETIME
    std::wstring identifier;
    std::uint32_t store = 0; // an image's shadow copy: its store, from 1
    std::size_t device = 0;  // a collection's shadow-copy device
};

// A copy of a Windows drive, however its files are read: where it lies,
// its hive files and what its registry records of the machine.
struct CopiedWindows {
    EvidenceDrive drive;       // where the copy of the drive lies, and its Windows folder
    std::wstring configFolder; // Windows\System32\config as the copy spells it; empty: none
    // SYSTEM and SOFTWARE, whose images stay put (and so are held apart)
    // while keys of them are open.
    std::unique_ptr<HiveFile> systemHive;
    std::unique_ptr<HiveFile> softwareHive;
    MachineRegistry recorded; // what its registry says of itself (profiles, folders)
};

struct ExaminedMachine {
    const MachineKind* kind = nullptr;
    std::any state;  // what the kind keeps of the machine (kindState)
    FileScope scope; // what of the host's files may be read

    // SYSTEM and SOFTWARE: the live keys, or the roots of a copy's hive
    // files. controlSet is the current control set's name below SYSTEM.
    RegistryKey system;
    RegistryKey software;
    bool systemOpen = false;
    bool softwareOpen = false;
    std::wstring controlSet;
    CopiedWindows copy;

    // Older states to read after this one, newest first.
    std::vector<OlderState> olderStates;
    // The users' hives were handed out once already: what their loading met
    // is counted then, and not again for a later source that reads them.
    bool userHivesVisited = false;
    // The event logs' records left in their free space are read too (asked for).
    bool recoverDeletedEvents = false;
    // An older state: the machine as it is, and the records read from it; a
    // file the older state holds unchanged gives its record again unread.
    ExaminedMachine* currentState = nullptr;
    const RecordList* currentRecords = nullptr;

    ExaminedMachine() = default;
    ExaminedMachine(const ExaminedMachine&) = delete;
    ExaminedMachine& operator=(const ExaminedMachine&) = delete;
};

template <typename State> State& kindState(ExaminedMachine& machine) {
    return **std::any_cast<std::shared_ptr<State>>(&machine.state);
}
template <typename State> const State& kindState(const ExaminedMachine& machine) {
    return **std::any_cast<std::shared_ptr<State>>(&machine.state);
}

// Whether the evidence named can be read, and if not, why (for the one who
// named it): a folder without a copy of a Windows drive, an image that
// cannot be opened or holds no Windows volume, or several to choose from.
struct EvidenceCheck {
    bool readable = false;
    bool image = false;
    bool collection = false;
    std::wstring problem;
};

// Opens the machine the target names into fresh results: finds a copy of a
// drive (or an image's Windows volume, or a collection's drive) and reads
// its SYSTEM and SOFTWARE hives (each counted, and listed in the origin),
// and states the machine's own facts and name. What cannot be read is
// still opened, every source then finding nothing; the check says why.
EvidenceCheck openExaminedMachine(const ScanTarget& target, ExaminedMachine& machine,
                                  ScanResults& results);

// The older state the current machine lists at index, opened for reading as
// the machine was then; false when it cannot be read.
bool openOlderState(ExaminedMachine& current, std::size_t index, ExaminedMachine& older,
                    ScanResults& results);

// Puts into the results what the scan's reading met beside the sources:
// what it refused, and why, and what only the machine's kind counts.
void closeExaminedMachine(ExaminedMachine& machine, ScanResults& results);

// Where a file or folder below the machine's Windows folder lies (such as
// AppCompat\Programs), or empty text where it has none. This
// machine's is named by its Windows directory, appended as it is (its file
// system finds it whatever the case); a copy's is found without regard to
// the case of A to Z.
std::wstring windowsEntryOf(ExaminedMachine& machine, std::wstring_view relative, EntryKind kind);

// The current control set's key below SYSTEM (such as Control\Session
// Manager); an
// error code as regOpenKey gives, ERROR_FILE_NOT_FOUND where it is not there.
// Only where systemKeysOpen.
bool systemKeysOpen(const ExaminedMachine& machine);
std::uint32_t openControlSetKey(const ExaminedMachine& machine, const std::wstring& below,
                                std::uint32_t access, RegistryKey& key);
// SOFTWARE's root, or null where it could not be opened.
const RegistryKey* softwareKeyOf(const ExaminedMachine& machine);

// The SYSTEM keys could not be had for a source that reads them: the source
// is not present where this machine has no Windows registry at all,
// otherwise it could not be read (counted in unreadable on this machine; a
// copy's SYSTEM hive is counted where it was opened). Says so in the
// source's reading.
void sayWithoutSystemKeys(const ExaminedMachine& machine, SourceReading& reading, ScanTally& tally,
                          const ScanCounter& unreadable);

// How paths on the machine's volumes are named: this machine's mounted
// volumes are asked; a copy's system volume is named by the drive its
// registry gives it (such as C:; empty when not recorded), and only that
// volume can be named.
struct PathNaming {
    bool mountedVolumes = true;
    std::wstring systemDrive;
};
PathNaming pathNamingOf(const ExaminedMachine& machine);

// The drive the machine's Windows is on (such as C:): this machine's, or as
// a copy's registry records it; empty when not known.
std::wstring systemDriveOf(const ExaminedMachine& machine);

// The Windows version the machine runs (or a copy's registry records).
bool windowsVersionOf(const ExaminedMachine& machine, std::uint32_t& major, std::uint32_t& minor);

// Whether a fact the machine's files do not state takes Windows' own
// default (this machine) or is not known (a copy of another machine).
bool factsTakeDefaults(const ExaminedMachine& machine);

// A path the scan read, as it is shown: below a root named with slashes,
// with slashes; inside an image, after the image, its volume and its state;
// inside a collection, where the examiner finds the file.
std::wstring shownPath(const ExaminedMachine& machine, const std::wstring& path);

} // namespace tidewell
