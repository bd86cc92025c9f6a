// The machine a scan examines, and the one way every source reads from it:
// its files, its SYSTEM and SOFTWARE keys, its users' hives, how paths on
// its system volume are named, and its facts. One plain value with a tag
// saying what kind of machine it is; the free functions here and beside it
// answer the same questions for every kind.
//
//   ThisMachine    the Windows machine the program runs on: its own files
//                  and live registry, its mounted volumes.
//   CollectedDrive a copy of another machine's system drive in a folder (on
//                  either system): only files inside the folder are read,
//                  its hives are read from their files with their logs.
//   DiskImage      an image of another machine's disk (Linux): its Windows
//                  volume read through the image's own file system, as a
//                  collected drive is read, and each of its shadow copies as
//                  an older state of the same machine.
//   Collection     a Velociraptor collection, zipped or extracted (Linux):
//                  the drive that holds Windows read as a collected drive
//                  is, and each shadow-copy device collected as an older
//                  state of it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/scan_results.h"
#include "machine/collected_drive.h"
#include "machine/collection.h"
#include "machine/disk_image.h"
#include "machine/hive_file.h"
#include "machine/machine_registry.h"
#include "platform/file_scope.h"
#include "registry/registry.h"

namespace tidewell {

enum class MachineKind {
    ThisMachine,
    CollectedDrive,
    DiskImage,
    Collection,
};

// An older state of the machine the scan can read after its current one.
struct OlderState {
    std::wstring label;        // "shadow copy 2"
    std::uint64_t created = 0; // FILETIME
    std::wstring identifier;
    std::uint32_t store = 0; // an image's shadow copy: its store, from 1
    std::size_t device = 0;  // a collection's shadow-copy device
};

struct ExaminedMachine {
    MachineKind kind = MachineKind::ThisMachine;
    FileScope scope; // what of the host's files may be read

    // A disk image: the image (owned by the machine that opened it, shared
    // by the states opened from it), the volume read and the state of its
    // file system this machine reads; where each file lies is named after
    // the image, the volume and the state.
    DiskImageHandle ownedImage;
    DiskImage* image = nullptr;
    ImageVolume volume;
    ImageFileSystemHandle fileSystem;
    std::wstring locationPrefix;

    // A collection (owned by the machine that opened it, shared by the
    // states opened from it) and the device of it this state reads.
    CollectionHandle ownedCollection;
    Collection* collection = nullptr;
    std::size_t collectionDevice = 0;
    std::wstring collectionPath; // as named

    // A collected drive or an image's volume: where the copy of the drive
    // lies, and its Windows and Prefetch folders as the copy spells them
    // (empty where there are none).
    EvidenceDrive drive;
    std::wstring configFolder;
    std::wstring prefetchFolder;
    bool posixNames = false; // the root was named with slashes: paths are shown so

    // SYSTEM and SOFTWARE: the live keys, or the roots of the hive files,
    // whose images stay put (and so are held apart) while keys of them are
    // open. controlSet is the current control set's name below SYSTEM.
    std::unique_ptr<HiveFile> systemHive;
    std::unique_ptr<HiveFile> softwareHive;
    RegistryKey system;
    RegistryKey software;
    bool systemOpen = false;
    std::uint32_t systemOpenError = 0; // this machine's SYSTEM key: why it did not open
    bool softwareOpen = false;
    std::wstring controlSet;

    // What a collected machine's registry says of itself (profiles, folders).
    MachineRegistry recorded;
    std::wstring runningSid; // this machine: the account the program runs as

    // Older states to read after this one, newest first.
    std::vector<OlderState> olderStates;

    // An older state: the machine as it is, and the records read from it; a
    // file the older state holds unchanged gives its record again unread.
    ExaminedMachine* currentState = nullptr;
    const RecordList* currentRecords = nullptr;

    ExaminedMachine() = default;
    ExaminedMachine(const ExaminedMachine&) = delete;
    ExaminedMachine& operator=(const ExaminedMachine&) = delete;
};

// Whether the evidence named can be read, and if not, why (for the one who
// named it): a folder without a copy of a Windows drive, an image that
// cannot be opened or holds no Windows volume, or several to choose from.
struct EvidenceCheck {
    bool readable = false;
    bool image = false;
    bool collection = false;
    std::wstring problem;
};
EvidenceCheck checkEvidence(const ScanTarget& target);

// Opens the machine the target names: finds a collected drive (or an image's
// Windows volume) and reads its SYSTEM and SOFTWARE hives (each counted, and
// listed in the origin), and states the machine's facts and name in the
// results.
void openExaminedMachine(const ScanTarget& target, ExaminedMachine& machine, ScanResults& results);

// The older state the current machine lists at index, opened for reading as
// the machine was then; false when it cannot be read.
bool openOlderState(ExaminedMachine& current, std::size_t index, ExaminedMachine& older,
                    ScanResults& results);

// Puts into the results' origin what the scan's reading refused, and why.
void closeExaminedMachine(ExaminedMachine& machine, ScanResults& results);

// The Prefetch folder, or empty text when the machine has none that can be
// named (this machine's Windows directory could not be had).
std::wstring prefetchFolderOf(const ExaminedMachine& machine);

// How paths on the machine's volumes are named: this machine's mounted
// volumes are asked; a collected machine's system volume is named by the
// drive its registry gives it (such as C:; empty when not recorded), and only
// that volume can be named.
struct PathNaming {
    bool mountedVolumes = true;
    std::wstring systemDrive;
};
PathNaming pathNamingOf(const ExaminedMachine& machine);

// The drive the machine's Windows is on (such as C:): this machine's, or as
// a copy's registry records it; empty when not known.
std::wstring systemDriveOf(const ExaminedMachine& machine);

// The SYSTEM keys could not be had for a source that reads them: the
// source is not present where the key is simply not there on this machine
// (no Windows registry at all), otherwise it could not be read, counted in
// liveUnreadable on this machine (a copy's SYSTEM hive is counted where it
// was opened). Says so in the source's reading.
void sayWithoutSystemKeys(const ExaminedMachine& machine, SourceReading& reading,
                          std::uint32_t& liveUnreadable);

// A path the scan read, as it is shown: below a root named with slashes,
// with slashes; inside an image, after the image, its volume and its state.
std::wstring shownPath(const ExaminedMachine& machine, const std::wstring& path);

} // namespace tidewell
